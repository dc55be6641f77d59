// The web-submission lines of the game file and the value scrambler. For
// each team the game file carries one line of its best player's identity,
// match figures and ratings for the web site, then a check line: the MD5 of
// the check key followed by the line. Ratings in that line and in the game
// file's strategy and player lines are written through ScrambleStatValue, a
// reversible integer transformation chosen by two small numbers A and B that
// travel in the same line.
#pragma once

#include <string>
#include <string_view>

#include "core/MatchStats.h"
#include "output/MatchSummary.h"
#include "output/OutputLines.h"

// The fixed key that precedes a submission line in its check digest.
constexpr std::string_view kCheckKey = "Vq7!Rm2Tz9kW";

// Encode: value mult x Value + A mult x A + offset of the row of B (the
// default row for B outside 1 .. 10), kept in 32 bits; the offset is the
// row's base plus the increment of every threshold 100, 90, .., 10 that A is
// below. Decode: the inverse, (Value - offset - A mult x A) / value mult
// rounded (halves to even).
i32 ScrambleStatValue(i32 Value, i32 A, i32 B, bool Encode);

// The 25 ratings of TPlayerStats that the submission and player lines
// write, rounded and scrambled, in their order (speed .. leadership without
// bodyfat).
constexpr int kScrambledRatingCount = 25;
extern const f32 TPlayerStats::* const kScrambledRatings[kScrambledRatingCount];

// Appends the 38 counts of the summary from carries to scrumpenaltiesdef, in
// record order.
void AddMatchCounts(TCsvLine& Line, const TPlayerSummary& P);

// The submission line of team 1 or 2 (MatchInfo.Team[Team]): 96 values of
// its BestPlayerSlot (slot 1 when that holds no squad slot 1 .. 25), with the
// line's A (1 .. 100) and B (1 .. 15), which the caller draws.
std::string SubmissionLine(int Team, i32 A, i32 B);

// The check line of a submission line: 32 lower-case hexadecimal digits.
std::string CheckLine(std::string_view Submission);
