// Floats as text, byte for byte the same in every build (std::to_chars, no
// locale, no C runtime printf): the six-significant-digit form the project
// file, OBJ and MTL use, the shortest form that reads back to the same f32,
// and fixed notation with six decimals.
#pragma once

#include <string>

// Six significant digits, the shorter of fixed and exponent form, trailing
// zeros dropped: 1.0 gives "1", 128/255 gives "0.501961".
void AppendFloat6(std::string& out, float value);

// The shortest text that parses back to exactly this f32.
void AppendShortestFloat(std::string& out, float value);

// Six decimals, as "%f" prints the value widened to double.
void AppendFixed6(std::string& out, float value);
