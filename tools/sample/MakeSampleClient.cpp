// make-sample-client DIR: writes a live sample client directory (work unit,
// state, user and version files) into DIR, creating it when needed.

#include <exception>
#include <iostream>

#include "sample/SampleClientFiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-sample-client DIR\n";
        return 2;
    }
    try {
        sample::WriteSampleClientDir(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "make-sample-client: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
