// The academy scout report: in an academy match, rough estimates of the
// ratings of the academy side's players who took the field, kept in
// MatchSummary.ScoutReport for the game file.
#pragma once

// Does nothing (no entry touched, no draw) unless MatchInfo.matchtype is
// mtAcademy. The scouted team is team 1 when its teamname is exactly "Youth
// Academy" (case and blanks count), team 2 otherwise. Entries 1..22 are set
// to the team's teamid, the slot's playerid and jerseynum, and -1 in every
// estimate; entries 23..25 keep what they held. A slot played when its
// playerid is not 0 and a msgTimePlayed of the team's teamid and that
// playerid rounds (half to even) above 0 s. Then for each rating in the
// report's order (speed, acceleration, fitness, agility, strength, injury,
// awareness, discipline, tackling, elusiveness, fend, breaktackle, handling,
// highball, lineoutjumping, lineoutthrow, rucking, scrummaging, passing,
// kicking, goalkicking, finesse, offloads, leadership) and each played slot
// 1..25: d := RandomRange(-2, 3), then r := RandomRange(1, 1001); when r <= 190
// the estimate := d + the slot's TPlayerStats rating, rounded, kept within
// 1..99. 48 draws per played slot.
void WriteScoutReport();
