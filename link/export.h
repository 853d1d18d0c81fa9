// The library is built with hidden symbols; what carries this mark is its public interface
// and the only part a program linking libVandirCNC.so can reach.
#pragma once

#define VANDIRCNC_EXPORT __attribute__((visibility("default")))
