// SimpleIni as the program uses it: texts pass byte for byte (Big5 and GB2312 captions
// must not be re-encoded), and Debian's header needs its implementation switched on here.
#pragma once

#ifndef SI_NO_CONVERSION
#define SI_NO_CONVERSION
#endif
#ifndef SI_IMPLEMENTATION
#define SI_IMPLEMENTATION
#endif
#include <SimpleIni.h>
