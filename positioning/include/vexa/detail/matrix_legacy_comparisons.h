// Included inside CVEXAMatrix, and empty for programs: the shared library's own build finds its
// file of this name first, with the comparison members it still exports for programs built
// against the 1.0 and 1.1 headers. No macro a program sets can bring them into view.
