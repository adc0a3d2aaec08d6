/* The editor's version numbers and the strings of its version resource, shared by the
   resource script and the code. Plain macros, so that the resource compiler reads them too. */
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
/* The first line of the About message's rights notice. */
#define TOVIMAR_LEGAL_COPYRIGHT "Copyright (C) The Lumaret project. All rights reserved."
