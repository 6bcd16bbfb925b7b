// SPDX-License-Identifier: GPL-3.0-or-later
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

// Whether a base names a folder rather than a file set in it: empty, ending in a folder
// separator, or an existing folder. Its files would be hidden ones (".INP") or beside the folder.
bool NamesAFolder(const std::string& base);

// What a tool says of a file set that it read (`read`, in the order INP, MIX, CAL, CEL): nothing
// when it read all four; one line naming the four it tried when it read none; otherwise one line
// for each file it could not read, ending in `consequence`. Each line starts with the program.
std::string UnreadFilesMessage(const std::string& program, const std::string& base,
                               const std::array<bool, 4>& read, const std::string& consequence);

enum class InstallResult { Installed, AlreadyThere, Failed };

// Copies the file set `from` to the base `to`, making its folder, when no file of the set `to`
// exists; it never replaces a file. On failure nothing of `to` is left behind and `error` says
// what went wrong.
InstallResult InstallFileSet(const std::string& from, const std::string& to, std::string& error);
