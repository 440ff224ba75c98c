#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "builtins.h"

// Records what a script asks of the world, and answers as told.
struct FakeHost {
    std::vector<std::string> printed;
    std::vector<std::string> calls;  // "extract a b", "write f p", "remove p"
    std::set<std::string> failingExtracts;
    std::set<std::string> failingPartitions;
    std::set<std::string> existingFiles;

    updater_host host();
    // Parses and runs src; returns the error text, empty when the script succeeded.
    std::string run(const std::string &src);
};
