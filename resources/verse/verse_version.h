// The reminder's version numbers and identity strings, shared by its version resource
// and its code. Plain #defines, so that the resource compiler can read them too.
#pragma once

#define VERSE_VERSION_MAJOR 2
#define VERSE_VERSION_MINOR 2
#define VERSE_VERSION_BUILD 0
#define VERSE_VERSION_REVISION 108
// The binary form of FILEVERSION and PRODUCTVERSION: major, minor, build, revision.
#define VERSE_VERSION_BINARY 2, 2, 0, 108
// The text form, as Explorer shows it: minor and revision zero-padded.
#define VERSE_FILE_VERSION_TEXT "2.02.0108"
#define VERSE_PRODUCT_VERSION_TEXT "2.02.0108"

#define VERSE_FILE_DESCRIPTION "Aids in memorizing Bible Verses"
#define VERSE_COMMENTS "Lumaret - Reminding you of Gods word"
#define VERSE_PRODUCT_NAME "Lumaret"
#define VERSE_INTERNAL_NAME "verse"
#define VERSE_ORIGINAL_FILENAME "verse.exe"
#define VERSE_COMPANY_NAME "The Lumaret project"
// "\251" is the copyright sign in the Windows ANSI code page (1252).
#define VERSE_LEGAL_COPYRIGHT "Copyright \251 2026 The Lumaret project"
