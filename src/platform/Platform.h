// The few operating-system services the engine uses, in one place.
#pragma once

#include <cstdint>
#include <string>

// Milliseconds since an arbitrary start, wrapping at 2^32 (a frame's tick stamp).
uint32_t GetTickCount();

// Milliseconds since midnight UTC of the system clock (the random seed). A
// test or tool may fix it with FixTimeOfDay, so that a match starts from a
// chosen seed (a seed a run log printed replays that run), and let the clock
// speak again with UnfixTimeOfDay.
uint32_t MillisecondsSinceMidnightUTC();
void FixTimeOfDay(uint32_t milliseconds);
void UnfixTimeOfDay();

// A calendar date: day of the month 1..31, month 1..12, four-digit year.
struct TCalendarDate {
  int Day, Month, Year;
};

// Today's date in the platform's local time zone. A test may fix it with
// FixLocalDate and let the clock speak again with UnfixLocalDate.
TCalendarDate LocalDate();
void FixLocalDate(const TCalendarDate& date);
void UnfixLocalDate();

// Directory of the running program, with a trailing '/'. A test may point it
// elsewhere with SetProgramDirectory.
std::string ProgramDirectory();
void SetProgramDirectory(const std::string& dir);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the directory and its parents; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
bool SetCurrentDir(const std::string& path);
