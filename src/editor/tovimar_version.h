/* The editor's version numbers and the strings of its version resource. Plain macros so
   that the resource script can include this file too. */
#pragma once

#define TOVIMAR_VERSION_MAJOR 1
#define TOVIMAR_VERSION_MINOR 0
#define TOVIMAR_VERSION_REVISION 12
#define TOVIMAR_VERSION_STRING "1.00.0012"
#define TOVIMAR_PRODUCT_NAME "Tovimar 1"
#define TOVIMAR_FILE_DESCRIPTION "Edits Verse Database for Lumaret"
#define TOVIMAR_COMMENTS "Tovimar for Lumaret Application"
#define TOVIMAR_INTERNAL_NAME "tovimar"
#define TOVIMAR_FILE_NAME "tovimar.exe"
#define TOVIMAR_COMPANY_NAME "The Lumaret project"
/* The two lines of the rights notice; the About message shows both. */
#define TOVIMAR_RIGHTS_LINE1 "Copyright (C) The Lumaret project. All rights reserved."
#define TOVIMAR_RIGHTS_LINE2 "Free for personal use; provided as is, without any warranty."
#define TOVIMAR_LEGAL_COPYRIGHT TOVIMAR_RIGHTS_LINE1
