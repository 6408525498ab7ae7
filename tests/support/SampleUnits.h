#pragma once
// A work unit and its finished result under a chosen name: what the cache
// tests move between the client directory, the cache and the server.

#include <string>

#include "sample/SampleClientFiles.h"

namespace testsupport {

inline std::string Unit(const std::string& name) {
    sample::WorkUnitFields unit;
    unit.name = name;
    return sample::WorkUnitFile(unit);
}

inline std::string ResultOf(const std::string& name) {
    sample::WorkUnitFields unit;
    unit.name = name;
    return sample::ResultFile(unit);
}

}  // namespace testsupport
