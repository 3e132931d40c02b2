// A library that carries nothing but a version resource, for the file-version tests.
extern "C" __declspec(dllexport) int VersionSampleMarker() { return 1; }
