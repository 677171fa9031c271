// An integer division whose result becomes a double: bugprone-integer-division.
double Half(int value) { return 1.0 * (value / 2); }
