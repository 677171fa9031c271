// A short tour of the library: records filled by hand, copied and compared, then the classes.
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

    // Two opposite corners in either order span the same box.
    const CVEXACoordinatePoint north_east(600.0, 1100.0);
    const CVEXACoordinatePoint south_west(500.0, 1000.0);
    CVEXAEnvelope plot(north_east, south_west);
    std::printf("plot from (%.1f, %.1f) to (%.1f, %.1f)\n", plot.minCP.ord[0], plot.minCP.ord[1],
                plot.maxCP.ord[0], plot.maxCP.ord[1]);
    const CVEXACoordinatePoint stake(surveyed);
    const CVEXACoordinatePoint well(650.0, 1050.0);
    std::printf("stake (%.2f, %.2f) in plot: %d\n", stake[0L], stake[1L],
                plot.PointInEnveloppe(stake));
    std::printf("well (%.1f, %.1f) in plot: %d\n", well[0L], well[1L], plot.PointInEnveloppe(well));
    std::printf("corner (%.1f, %.1f) in plot: %d\n", south_west[0L], south_west[1L],
                plot.PointInEnveloppe(south_west));

    CVEXAMatrix traverse(3, 2);
    traverse(0, 0) = south_west[0L];
    traverse(0, 1) = south_west[1L];
    traverse(1, 0) = stake[0L];
    traverse(1, 1) = stake[1L];
    traverse(2, 0) = north_east[0L];
    traverse(2, 1) = north_east[1L];
    std::printf("traverse of %ld rows of %ld columns:\n", traverse.GetRowCount(),
                traverse.GetColumnCount());
    for (long row = 0; row < traverse.GetRowCount(); ++row) {
        std::printf("  %.2f %.2f\n", traverse(row, 0), traverse(row, 1));
    }
    std::printf("resize to 4 columns: %s\n", traverse.Resize(3, 4) ? "done" : "refused");
    const CVEXAMatrix kept(traverse);
    std::printf("copy equals the traverse: %d\n", traverse == kept);
    return 0;
}
