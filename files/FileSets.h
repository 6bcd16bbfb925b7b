// File sets named on a command line, and a file set put in place of another that is missing.
#pragma once

#include <array>
#include <string>

// The four files of the set with this base, in the order INP, MIX, CAL, CEL.
std::array<std::string, 4> FileSetNames(const std::string& base);

// The base of the file set that a command-line argument names. One of the four files of a set
// (extension INP, MIX, CAL or CEL in any letter case) names its set by the base-name rule of
// Open All; anything else is the base itself, dots and all.
std::string FileSetBaseOf(const std::string& argument);

enum class InstallResult { Installed, AlreadyThere, Failed };

// Copies the file set `from` to the base `to`, making its folder, when no file of the set `to`
// exists; it never replaces a file. On failure nothing of `to` is left behind and `error` says
// what went wrong.
InstallResult InstallFileSet(const std::string& from, const std::string& to, std::string& error);
