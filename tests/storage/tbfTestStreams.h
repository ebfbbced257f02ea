// Streams for the storage tests: documents held in strings, fed to a reader or caught
// from a writer. The reader and writer own the FILE they are given and close it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DocumentStreams.h"
#include "tbfWriter.h"

// The small two-node document every older file is laid out like: a chunk "velko" 1.0 with
// "joints 2" holding two locations and "edges 1" holding one bone
inline const char kTwoJointDocument[] =
    "tbff .1\n"
    "\n"
    "chunk velko 1.0 anonymous {\n"
    "\n"
    "\tjoints 2 {\n"
    "\t\t0.000000 33.333332\n"
    "\t\t0.000000 100.000000\n"
    "\t}\n"
    "\n"
    "\tedges 1 {\n"
    "\t\t0 1\n"
    "\t}\n"
    "}\n";
