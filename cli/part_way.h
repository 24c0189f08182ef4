#pragma once
// The ports a restore has begun to write and not finished, each with the file
// that puts back what it had before: named together at the end of a run on
// several ports, and by a second Ctrl+C, which ends korvelctl before that end.
// Process-wide, for the console's Ctrl+C handler; each restore starts it afresh.

#include <string>
#include <vector>

struct PartWayPort {
    std::wstring port;
    std::wstring kept;  // empty: nothing was kept
};

void ForgetPartWayPorts();
void BeganWriting(const std::wstring& port, const std::wstring& kept);
void FinishedWriting(const std::wstring& port);
// In the order their writing began.
std::vector<PartWayPort> PartWayPorts();
