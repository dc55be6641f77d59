// The input driver: reads every input file of the run.
#pragma once

void ReadInputFiles();
