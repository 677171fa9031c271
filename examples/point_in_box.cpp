// A short tour of the library: records filled by hand, copied and compared.
#include <vexa/vexa.h>

#include <cstdio>

int main() {
    PT_CoordinatePoint surveyed;
    surveyed.ord[0] = 512.25;
    surveyed.ord[1] = 1048.5;
    surveyed.size = 2;

    PT_CoordinatePoint stored;
    const int copied = CopyCoordinatePoint(&stored, &surveyed);
    std::printf("copy of (%.2f, %.2f): %s\n", surveyed.ord[0], surveyed.ord[1],
                copied ? "done" : "refused");
    std::printf("stored equals surveyed: %d\n", EqualCoordinatePoint(&stored, &surveyed));

    PT_CoordinatePoint too_wide = surveyed;
    too_wide.size = 4;
    std::printf("copy of a point claiming 4 ordinates: %s\n",
                CopyCoordinatePoint(&stored, &too_wide) ? "done" : "refused");

    PT_Envelope site;
    site.minCP = surveyed;
    site.maxCP = surveyed;
    PT_Envelope copy;
    CopyEnvelope(&copy, &site);
    std::printf("envelope copy equals the original: %d\n", EqualEnvelope(&copy, &site));
    return 0;
}
