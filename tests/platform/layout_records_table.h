#pragma once

#include "platform/key_records.h"

namespace kivo {

// Keys of the layouts as their readers fill them: what each key types by itself, with Shift, with
// AltGr and with both, and where it sits.
inline const KeyRecord kGermanE{'E', 0x12, {U'e', U'E', U'\u20ac'}};
inline const KeyRecord kGermanQ{'Q', 0x10, {U'q', U'Q', U'@'}};
inline const KeyRecord kGermanZ{'Z', 0x15, {U'z', U'Z', 0}};
inline const KeyRecord kGermanUe{0xba, 0x1a, {U'\u00fc', U'\u00dc', 0}};
inline const KeyRecord kGermanSharpS{0xdb, 0x0c, {U'\u00df', U'?', U'\\', U'\u00bf'}};
inline const KeyRecord kGermanComma{0xbc, 0x33, {U',', U';', 0, U'\u00d7'}};
inline const KeyRecord kGermanCircumflex{0xdc, 0x29, {U'^', U'\u00b0', 0}, {true, false, false}};
inline const KeyRecord kGermanAcute{0xdd, 0x0d, {U'\u00b4', U'`', 0}, {true, true, false}};
inline const KeyRecord kGerman1{'1', 0x02, {U'1', U'!', 0}};
inline const KeyRecord kGerman[] = {kGermanE,     kGermanQ,          kGermanZ,     kGermanUe, kGermanSharpS,
                                    kGermanComma, kGermanCircumflex, kGermanAcute, kGerman1};
inline const KeyRecord kFrench1{'1', 0x02, {U'&', U'1', 0}};
inline const KeyRecord kFrench2{'2', 0x03, {U'\u00e9', U'2', U'~'}, {false, false, true}};
inline const KeyRecord kFrenchE{'E', 0x12, {U'e', U'E', U'\u20ac'}};
inline const KeyRecord kFrench[] = {kFrench1, kFrench2, kFrenchE};
inline const KeyRecord kRussianA{'A', 0x1e, {U'\u0444', U'\u0424', 0}};
inline const KeyRecord kRussianZhe{0xba, 0x27, {U'\u0436', U'\u0416', 0}};
inline const KeyRecord kRussianPeriod{0xbf, 0x35, {U'.', U',', 0}};
inline const KeyRecord kRussian[] = {kRussianA, kRussianZhe, kRussianPeriod};
inline const KeyRecord kUsIntlAcute{0xde, 0x28, {U'\u00b4', U'\u00a8', U'\u00b4'}, {true, true, false}};
inline const KeyRecord kUsIntlQ{'Q', 0x10, {U'q', U'Q', U'\u00e4', U'\u00c4'}};
inline const KeyRecord kUsIntl[] = {kUsIntlAcute, kUsIntlQ};
inline const KeyRecord kPolishA{'A', 0x1e, {U'a', U'A', U'\u0105', U'\u0104'}};
inline const KeyRecord kPolish[] = {kPolishA};
inline const KeyRecord kUsA{'A', 0x1e, {U'a', U'A', 0}};
inline const KeyRecord kUsSemicolon{0xba, 0x27, {U';', U':', 0}};
inline const KeyRecord kUsApostrophe{0xde, 0x28, {U'\'', U'"', 0}};
inline const KeyRecord kUs[] = {kUsA, kUsSemicolon, kUsApostrophe};

}  // namespace kivo
