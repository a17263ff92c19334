// WEP keys generated from a passphrase.
#pragma once
#include <string>

namespace wep {

// Length codes: 1 = 64-bit key (40 secret bits), 2 = 128-bit (104), 3 = 152-bit (128).
int LengthCodeForBits(int keyBits);  // 40 -> 1, 104 -> 2, 128 -> 3, else 0

// Key `keyIndex` (0..3) derived from `passphrase`: 10 uppercase hexadecimal digits for
// code 1, 26 for codes 2 and 3 (where all four keys are the same). Empty for an empty
// passphrase, an unknown code or an index outside 0..3.
std::string DeriveWepKey(const std::string& passphrase, int lengthCode, int keyIndex);

}  // namespace wep
