#pragma once
// Starting an external program and waiting for it. The arguments are a list, so paths with
// spaces stay whole; no shell is involved.
#include <chrono>
#include <string>
#include <vector>

// Runs Program with Args in the current directory and waits for it to end. Raises
// EProgramError, naming the program, how it ended and the last lines it printed, when it
// cannot start, ends with a non-zero status or by a signal, or has not ended within Timeout
// (it is then killed).
void RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                std::chrono::milliseconds Timeout = std::chrono::seconds(60));
