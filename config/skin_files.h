// Reading the skin: numeric keys of main.ini that name the file, section and key when they
// are wrong, and image files under ImagePath.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "surface/cgdisurface.h"

// The highest index a main.ini count may give a table; larger counts are refused instead of
// allocating a huge table.
constexpr int32_t MaxTableIndex = 999;

// Opens the skin of a folder: its main.ini becomes MainIni, and ImagePath the folder joined with
// the ImagesDir key of [MainSettings].
void OpenSkin(const std::string& directory);

// A skin made on another system may write its paths with backslashes.
std::string WithSlashes(std::string path);

// A numeric key of main.ini. Missing or not a number: TypeMismatch; beyond 32 bits: Overflow;
// the error names main.ini, the section and the key.
int32_t MainIniNumber(const std::string& section, const std::string& key);
// A numeric key that gives the highest index of a table: 0..MaxTableIndex, else
// SubscriptOutOfRange naming the key.
int32_t MainIniTableTop(const std::string& section, const std::string& key);

// ImagePath + name, with either separator accepted.
std::string ImageFileName(const std::string& name);
bool ImageFileExists(const std::string& name);
// Reads ImagePath + name into the surface; a missing or unreadable file raises FileNotFound
// or InvalidPicture naming the file.
void ReadImage(CGDISurface& surface, const std::string& name);

// The loaders count their steps here; start-up shows them as the loading window's progress.
// Nothing is shown until a reporter is set; an empty function takes it away again.
void SetLoadProgress(std::function<void()> reporter);
void LoadProgressStep();
