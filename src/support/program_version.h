#ifndef TRAMO_SUPPORT_PROGRAM_VERSION_H_
#define TRAMO_SUPPORT_PROGRAM_VERSION_H_

// The version this program is built as. Plain macros: the version resource
// script and the build's release packaging read them too.
#define TRAMO_VERSION_MAJOR 2
#define TRAMO_VERSION_MINOR 2
#define TRAMO_VERSION_RELEASE 0
#define TRAMO_VERSION_BUILD 1803
#define TRAMO_VERSION_TEXT "2.2.0.1803"

#endif  // TRAMO_SUPPORT_PROGRAM_VERSION_H_
