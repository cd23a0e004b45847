// The one check every program and command that writes a file makes before it
// writes anything: its output must not be one of its inputs. Paths are
// compared as the files they name (device and inode, links followed), so a
// symbolic or hard link to the input is the input, as cp(1) sees it.
#pragma once

#include <string>
#include <vector>

// Raises IllegalArgumentException "<prefix>'<input>' and '<output>' are the
// same file: the output would replace the input." when `output` names the
// file of one of `inputs`.
void refuseSameFile(const std::string& prefix, const std::vector<std::string>& inputs,
                    const std::string& output);
