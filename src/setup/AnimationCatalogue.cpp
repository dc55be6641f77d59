#include "setup/AnimationCatalogue.h"

#include <iterator>

#include "core/NameHash.h"

Arr1<ShortStr<kAnimNameLength>, kAnimCatalogueSize> AnimNames;
Arr1<f32, kAnimCatalogueSize> AnimLengths;

namespace {

struct TAnimEntry {
  std::string_view Name;
  f32 Length;
};

// Entries 1 onwards, in catalogue order. The index of an entry is what the
// replay and the viewer datagrams carry, so entries are only ever appended.
constexpr TAnimEntry kAnimEntries[] = {
    {"breathing", 1839.0f},                   // 1
    {"breathingwithball", 1920.0f},           // 2
    {"run", 1920.0f},                         // 3
    {"runwithball", 1839.0f},                 // 4
    {"runwithballfront", 1920.0f},            // 5
    {"walk", 1900.0f},                        // 6
    {"sprint", 1839.0f},                      // 7
    {"sprintwithball", 1839.0f},              // 8
    {"turn45leftwithball", 1830.0f},          // 9
    {"turn45rightwithball", 1830.0f},         // 10
    {"poppassleft", 2388.0f},                 // 11
    {"shortpassleft", 2720.0f},               // 12
    {"mediumpassleft", 2638.0f},              // 13
    {"longpassleft", 2638.0f},                // 14
    {"standingstillpassleft", 2720.0f},       // 15
    {"poppassright", 2388.0f},                // 16
    {"shortpassright", 2720.0f},              // 17
    {"mediumpassright", 2638.0f},             // 18
    {"longpassright", 2638.0f},               // 19
    {"standingstillpassright", 2720.0f},      // 20
    {"sidewaysstillpass", 1920.0f},           // 21
    {"sidewayspass", 1920.0f},                // 22
    {"sidewayslongpass", 1920.0f},            // 23
    {"dummyhalfpassleft", 5678.0f},           // 24
    {"dummyhalfpassright", 5678.0f},          // 25
    {"catchright", 1838.0f},                  // 26
    {"catchrightlow", 1838.0f},               // 27
    {"catchrighthigh", 1838.0f},              // 28
    {"catchrightstandingstill", 1838.0f},     // 29
    {"trydotdown", 3750.0f},                  // 30
    {"trydive", 8719.0f},                     // 31
    {"trydivehigh", 7120.0f},                 // 32
    {"trydivestandupbackflick", 5998.0f},     // 33
    {"divetacklefallforward", 4540.0f},       // 34
    {"divetacklefallback", 3260.0f},          // 35
    {"divetackledfallback", 4540.0f},         // 36
    {"divetackledfallforward", 3260.0f},      // 37
    {"divetackledoneononefallforward", 1920.0f}, // 38
    {"divetacklemissed", 4700.0f},            // 39
    {"intackleloop", 1839.0f},                // 40
    {"clearout", 1980.0f},                    // 41
    {"clearedout", 1980.0f},                  // 42
    {"jackle", 1820.0f},                      // 43
    {"clearoutdrivingloop", 1820.0f},         // 44
    {"scrumfeed", 3110.0f},                   // 45
    {"hookercrouchloop", 1920.0f},            // 46
    {"hookerengage", 1920.0f},                // 47
    {"hookerengagedloop", 1920.0f},           // 48
    {"hookerdrivingloop", 1920.0f},           // 49
    {"leftpropcrouchloop", 1920.0f},          // 50
    {"leftpropengage", 1920.0f},              // 51
    {"leftpropengagedloop", 1920.0f},         // 52
    {"leftpropdrivingloop", 1920.0f},         // 53
    {"rightpropcrouchloop", 1920.0f},         // 54
    {"rightpropengage", 1920.0f},             // 55
    {"rightpropengagedloop", 1920.0f},        // 56
    {"rightpropdrivingloop", 1920.0f},        // 57
    {"leftlockcrouchloop", 1920.0f},          // 58
    {"leftlockengage", 1920.0f},              // 59
    {"leftlockengagedloop", 1920.0f},         // 60
    {"leftlockdrivingloop", 1920.0f},         // 61
    {"rightlockcrouchloop", 1920.0f},         // 62
    {"rightlockengage", 1920.0f},             // 63
    {"rightlockengagedloop", 1920.0f},        // 64
    {"rightlockdrivingloop", 1920.0f},        // 65
    {"leftflankercrouchloop", 1920.0f},       // 66
    {"leftflankerengage", 1920.0f},           // 67
    {"leftflankerengagedloop", 1920.0f},      // 68
    {"leftflankerdrivingloop", 1920.0f},      // 69
    {"rightflankercrouchloop", 1920.0f},      // 70
    {"rightflankerengage", 1920.0f},          // 71
    {"rightflankerengagedloop", 1920.0f},     // 72
    {"rightflankerdrivingloop", 1920.0f},     // 73
    {"no8crouchloop", 1920.0f},               // 74
    {"no8engage", 1920.0f},                   // 75
    {"no8engagedloop", 1920.0f},              // 76
    {"no8drivingloop", 1920.0f},              // 77
    {"charge", 1920.0f},                      // 78
    {"chargeleft", 1920.0f},                  // 79
    {"chargeright", 1920.0f},                 // 80
    {"fendleft", 1839.0f},                    // 81
    {"fendleftback", 1920.0f},                // 82
    {"fendleftfront", 1920.0f},               // 83
    {"fendright", 1839.0f},                   // 84
    {"fendrightback", 1920.0f},               // 85
    {"fendrightfront", 1920.0f},              // 86
    {"goosestep", 2470.0f},                   // 87
    {"stumbleforward", 1920.0f},              // 88
    {"stumbleleft", 1920.0f},                 // 89
    {"stepleft", 1920.0f},                    // 90
    {"stepright", 1920.0f},                   // 91
    {"charged", 2785.0f},                     // 92
    {"fendedleft", 1838.0f},                  // 93
    {"fendedright", 1838.0f},                 // 94
    {"lineoutthrowready", 1820.0f},           // 95
    {"lineoutthrowreadyloop", 1920.0f},       // 96
    {"lineoutthrow", 1830.0f},                // 97
    {"lineoutliftercrouch", 1830.0f},         // 98
    {"lineoutliftercrouchloop", 1920.0f},     // 99
    {"lineoutlifterlift", 2790.0f},           // 100
    {"lineoutpassleftp1", 3115.0f},           // 101
    {"lineoutpassleftp2", 1838.0f},           // 102
    {"lineoutpassrightp1", 3115.0f},          // 103
    {"lineoutpassrightp2", 3115.0f},          // 104
    {"mauljoin", 1920.0f},                    // 105
    {"mauldrivingloop", 1920.0f},             // 106
    {"maulbreathingloop", 1920.0f},           // 107
    {"maulwithballdrivingloop", 1920.0f},     // 108
    {"maulwithballbreathingloop", 1920.0f},   // 109
    {"maulwithballdrivingloop2", 1920.0f},    // 110
    {"maulwithballbreatheloop2", 1920.0f},    // 111
    {"punt", 9838.0f},                        // 112
    {"grubber", 1839.0f},                     // 113
    {"chip", 1839.0f},                        // 114
    {"dropkick", 9838.0f},                    // 115
    {"goalkick", 9500.0f},                    // 116
    {"tapkick", 1800.0f},                     // 117
    {"runninglowcatch", 1920.0f},             // 118
    {"runningmidcatch", 1920.0f},             // 119
    {"standingstilllowcatch", 3840.0f},       // 120
    {"standingstillhighcatch", 3740.0f},      // 121
    {"jumpcatchp1", 4160.0f},                 // 122
    {"jumpcatchp2", 1600.0f},                 // 123
    {"jumpcatchtipp1", 1920.0f},              // 124
    {"onehandraisedstart", 860.0f},           // 125
    {"onehandraisedloop", 950.0f},            // 126
    {"onehandraisedend", 950.0f},             // 127
    {"twohandsraisedstart", 870.0f},          // 128
    {"twohandsraisedloop", 950.0f},           // 129
    {"twohandsraisedstillloop", 950.0f},      // 130
    {"twohandsraisedend", 950.0f},            // 131
    {"twohandedoffloadlow", 1920.0f},         // 132
    {"shimmyleft", 2328.0f},                  // 133
    {"shimmyright", 2328.0f},                 // 134
    {"shimmyleftsmall", 1920.0f},             // 135
    {"shimmyrightsmall", 1920.0f},            // 136
    {"shimmyleftdiag", 1920.0f},              // 137
    {"shimmyrightdiag", 1920.0f},             // 138
    {"throwballaway", 3110.0f},               // 139
    {"breathingnormal", 1839.0f},             // 140
    {"breathingtired", 1839.0f},              // 141
    {"breathingback", 1839.0f},               // 142
    {"breathingforward", 1839.0f},            // 143
    {"playball", 2795.0f},                    // 144
    {"trydivequick", 7115.0f},                // 145
    {"catchleft", 1838.0f},                   // 146
    {"catchlefthigh", 1838.0f},               // 147
    {"catchleftlow", 1838.0f},                // 148
    {"catchleftstandingstill", 1838.0f},      // 149
    {"jog", 100.0f},                          // 150
    {"jogwithball", 1920.0f},                 // 151
    {"runbackward", 1920.0f},                 // 152
    {"looseballdive", 8700.0f},               // 153
    {"humpfront", 1920.0f},                   // 154
    {"humpback", 1920.0f},                    // 155
    {"doublefistraisestart", 1920.0f},        // 156
    {"doublefistraiseloop", 1920.0f},         // 157
    {"singlefistpumpjog", 1920.0f},           // 158
    {"doublefistpumpjog", 1920.0f},           // 159
    {"fistpumpwithball", 1920.0f},            // 160
    {"kicklooseball", 1835.0f},               // 161
    {"boxkick", 100.0f},                      // 162
    {"trophybreathloop", 1900.0f},            // 163
    {"injuryloopfaceup", 1900.0f},            // 164
    {"injuryloopfacedown", 1900.0f},          // 165
    {"catchleftreadyloop", 1920.0f},          // 166
    {"catchrightreadyloop", 1920.0f},         // 167
    {"looseballkick", 1920.0f},               // 168
    {"standupfromback", 1920.0f},             // 169
    {"defchargestanding", 1920.0f},           // 170
    {"defchargewithdive", 1920.0f},           // 171
    {"defchargewithdivepen", 1920.0f},        // 172
    {"defcharged", 1920.0f},                  // 173
    {"intacklepunch", 1920.0f},               // 174
    {"walkwithball", 100.0f},                 // 175
    {"chargedown", 100.0f},                   // 176
    {"throwballawayangry", 1920.0f},          // 177
    {"beatbydirchangein", 1920.0f},           // 178
    {"beatbydirchangeloop", 1920.0f},         // 179
    {"divetackledfallforwardtry", 1920.0f},   // 180
    {"pelko", 100.0f},                        // 181
    {"vellark1", 100.0f},                     // 182
    {"crowdpoint1", 100.0f},                  // 183
    {"bicepflex", 100.0f},                    // 184
    {"boxing", 100.0f},                       // 185
    {"chesttap", 100.0f},                     // 186
    {"excited", 100.0f},                      // 187
    {"foldarms", 100.0f},                     // 188
    {"greatest", 100.0f},                     // 189
    {"karatekid", 100.0f},                    // 190
    {"pumpupcrowd", 100.0f},                  // 191
    {"salute", 100.0f},                       // 192
    {"throwdown", 100.0f},                    // 193
    {"xfactor", 100.0f},                      // 194
    {"gorilla", 100.0f},                      // 195
    {"bracewithball", 100.0f},                // 196
    {"tackledrivewithball", 100.0f},          // 197
    {"jumpcatchhighp1", 100.0f},              // 198
    {"acceleratewithball", 100.0f},           // 199
    {"stumblefalldown", 100.0f},              // 200
    {"liberty", 100.0f},                      // 201
    {"defcharge1", 100.0f},                   // 202
    {"defcharge2", 100.0f},                   // 203
    {"defchargefallback", 100.0f},            // 204
    {"jumpswatpart1", 100.0f},                // 205
    {"jumpswatpart2", 100.0f},                // 206
    {"drivingmaulback", 100.0f},              // 207
    {"drivingmaulleft", 100.0f},              // 208
    {"drivingmaulright", 100.0f},             // 209
    {"falldownhasball", 100.0f},              // 210
    {"falldownfrontside", 100.0f},            // 211
    {"falldownbackside", 100.0f},             // 212
    {"falldownleftside", 100.0f},             // 213
    {"falldownrightside", 100.0f},            // 214
    {"spinleft", 100.0f},                     // 215
    {"spinright", 100.0f},                    // 216
    {"falloffloadleft", 100.0f},              // 217
    {"falloffloadright", 100.0f},             // 218
    {"offloadflickleft", 100.0f},             // 219
    {"offloadflickright", 100.0f},            // 220
    {"divetackfallfwdupright", 100.0f},       // 221
    {"jogfists", 100.0f},                     // 222
    {"n9pointleft", 100.0f},                  // 223
    {"n9pointright", 100.0f},                 // 224
    {"n10pointleft", 100.0f},                 // 225
    {"n10pointright", 100.0f},                // 226
    {"n10shoutleft", 100.0f},                 // 227
    {"n10shoutright", 100.0f},                // 228
    {"blockloop1", 100.0f},                   // 229
    {"blockloop2", 100.0f},                   // 230
    {"blockloop3", 100.0f},                   // 231
    {"blockloop4", 100.0f},                   // 232
    {"blockloop5", 100.0f},                   // 233
    {"blockloop6", 100.0f},                   // 234
    {"blockloop7", 100.0f},                   // 235
    {"blockloop8", 100.0f},                   // 236
    {"blockloop9", 100.0f},                   // 237
    {"blockloop10", 100.0f},                  // 238
    {"blockloop11", 100.0f},                  // 239
    {"blockloop12", 100.0f},                  // 240
    {"blockexit1", 100.0f},                   // 241
    {"blockexit2", 100.0f},                   // 242
    {"blockexit3", 100.0f},                   // 243
    {"blockexit4", 100.0f},                   // 244
    {"blockexit5", 100.0f},                   // 245
    {"blockexit6", 100.0f},                   // 246
    {"blockexit7", 100.0f},                   // 247
    {"blockexit8", 100.0f},                   // 248
    {"blockexit9", 100.0f},                   // 249
    {"blockexit10", 100.0f},                  // 250
    {"blockexit11", 100.0f},                  // 251
    {"blockexit12", 100.0f},                  // 252
    {"blockexit13", 100.0f},                  // 253
    {"blockexit14", 100.0f},                  // 254
    {"blockexit15", 100.0f},                  // 255
    {"blockexit16", 100.0f},                  // 256
    {"blockgotexitedon1", 100.0f},            // 257
    {"blockgotexitedon2", 100.0f},            // 258
    {"blockgotexitedon3", 100.0f},            // 259
    {"blockgotexitedon4", 100.0f},            // 260
    {"blockgotexitedon5", 100.0f},            // 261
    {"blockgotexitedon6", 100.0f},            // 262
    {"blockgotexitedon7", 100.0f},            // 263
    {"blockgotexitedon8", 100.0f},            // 264
    {"blockgotexitedon9", 100.0f},            // 265
    {"blockgotexitedon10", 100.0f},           // 266
    {"blockgotexitedon11", 100.0f},           // 267
    {"blockgotexitedon12", 100.0f},           // 268
    {"blockgotexitedon13", 100.0f},           // 269
    {"blockgotexitedon14", 100.0f},           // 270
    {"blockgotexitedon15", 100.0f},           // 271
    {"blockgotexitedon16", 100.0f},           // 272
    {"rolloverfromback", 100.0f},             // 273
    {"trydivestandupbackflick180", 100.0f},   // 274
    {"srimmagesetting1", 100.0f},             // 275
    {"srimmagesetting2", 100.0f},             // 276
    {"srimmagesetting3", 100.0f},             // 277
    {"srimmagesetting4", 100.0f},             // 278
    {"srimmagesetting5", 100.0f},             // 279
    {"srimmagebreathloop1", 100.0f},          // 280
    {"srimmagebreathloop2", 100.0f},          // 281
    {"srimmagebreathloop3", 100.0f},          // 282
    {"srimmagebreathloop4", 100.0f},          // 283
    {"srimmagebreathloop5", 100.0f},          // 284
    {"srimmageofftheline1", 100.0f},          // 285
    {"srimmageofftheline2", 100.0f},          // 286
    {"srimmageofftheline3", 100.0f},          // 287
    {"srimmageofftheline4", 100.0f},          // 288
    {"srimmageofftheline5", 100.0f},          // 289
    {"centerpass1", 100.0f},                  // 290
    {"qbbreath1", 100.0f},                    // 291
    {"qbpass1", 100.0f},                      // 292
};
constexpr int kNamedEntries = static_cast<int>(std::size(kAnimEntries));
static_assert(kNamedEntries == 292);

constexpr bool NamesFit() {
  for (const TAnimEntry& e : kAnimEntries)
    if (e.Name.size() > static_cast<size_t>(kAnimNameLength)) return false;
  return true;
}
static_assert(NamesFit(), "an animation name is longer than the catalogue keeps");

// Open-addressing hash of the names: slot value = catalogue index, 0 = free.
// Over four slots per entry keep the probe chains short.
constexpr u32 kSlotCount = 2048;
static_assert((kSlotCount & (kSlotCount - 1)) == 0 && kSlotCount > 2 * kAnimCatalogueSize);
i16 NameSlots[kSlotCount];

}  // namespace

void IndexAnimationNames() {
  for (i16& s : NameSlots) s = 0;
  for (int i = 1; i <= kAnimCatalogueSize; ++i) {
    const std::string_view name = AnimNames[i].View();
    u32 slot = NameHash(name) & (kSlotCount - 1);
    // Entries go in in index order and a name already present is skipped, so
    // a duplicate name keeps resolving to its lowest index.
    while (NameSlots[slot] != 0 && AnimNames[NameSlots[slot]].View() != name) slot = (slot + 1) & (kSlotCount - 1);
    if (NameSlots[slot] == 0) NameSlots[slot] = static_cast<i16>(i);
  }
}

void BuildAnimationCatalogue() {
  for (int i = 1; i <= kAnimCatalogueSize; ++i) {
    AnimNames[i] = {};
    AnimLengths[i] = kDefaultAnimLength;
  }
  for (int i = 1; i <= kNamedEntries; ++i) {
    AnimNames[i].Assign(kAnimEntries[i - 1].Name);
    AnimLengths[i] = kAnimEntries[i - 1].Length;
  }
  IndexAnimationNames();
}

i32 AnimNameToIndex(std::string_view Name) {
  if (Name.size() > static_cast<size_t>(kAnimNameLength)) return 1;
  u32 slot = NameHash(Name) & (kSlotCount - 1);
  while (NameSlots[slot] != 0) {
    if (AnimNames[NameSlots[slot]].View() == Name) return NameSlots[slot];
    slot = (slot + 1) & (kSlotCount - 1);
  }
  return 1;
}

std::string_view AnimIndexToName(i16 Index) {
  if (!AnimNames.InRange(Index)) return {};
  return AnimNames[Index].View();
}
