// The run context: where the run reads and writes, its identifier and the
// settings that the input gives the whole run. Start-up and the input readers
// set them once before the first frame; every layer may read them.
#pragma once

#include <string>

#include "core/Arrays.h"

extern std::string ExeDir;     // with a trailing '/'
extern std::string OutputDir;  // ExeDir + "output/"
// The folder of the input files, with a trailing '/'.
inline std::string InputDir() { return ExeDir + "csvinput/internetinit/"; }
extern bool32 DummyOutputOnly;
extern std::string FileID;
extern std::string FileSuffix;  // "_" + FileID, or nothing
extern bool32 ViewerLinkMode;
extern u16 AILevel;
extern f32 GameSpeed;
