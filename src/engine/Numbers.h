#pragma once
// Numbers as the program rounds them and writes them for people and encoders.

#include <string>

// The nearest integer, a half going to the even neighbour (2.5 gives 2, 3.5 gives 4). Infinity
// and a value that is not a number give 0; one beyond an int's range is held at its end.
int RoundHalfEven(double value);

// The shortest decimal text that reads back as the same number (3 gives "3", 2.5 "2.5", 0.1
// "0.1"), with `decimalSeparator` in place of the point.
std::string ShortestDecimal(float value, const std::string& decimalSeparator = ".");
