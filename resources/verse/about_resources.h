// Resource ids of the reminder's icon and the About box picture, for about.rc and the code.
#pragma once

// The program's icon; the lowest icon id, so Explorer shows it for verse.exe.
#define IDI_LUMARET 1
// The About box picture: a 124 x 112 JPEG stored as raw data.
#define IDR_ABOUT_PICTURE 101
