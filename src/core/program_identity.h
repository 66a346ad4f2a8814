// Names and version numbers that identify this program to the user, to the
// settings store and to other running copies of itself.
#pragma once

#include <string>

namespace core {

constexpr const char* kTitle = "Tallowick Parawarden";
constexpr const char* kPublisher = "Orvane Software Solutions";
constexpr int kMajor = 2;
constexpr int kMinor = 0;
constexpr int kRevision = 13;

// Window class of the hidden window every running copy owns; a second copy
// finds the first one through it, so the name must never change.
constexpr const char* kApplicationWindowClass = "ThunderRT6Main";
constexpr const char* kUnwantedInstanceTitle = "unwanted instance";

constexpr const char* kWebAddress = "http://www.parawarden.example/";

// "Tallowick Parawarden 2.0": the main window's caption, which a second copy
// also uses to find and show this copy's main window.
std::string VersionedCaption();
// "Version 2.0", the splash window's version line.
std::string VersionLine();

}  // namespace core
