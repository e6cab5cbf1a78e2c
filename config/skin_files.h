// Reading the skin: numeric keys of main.ini that name the file, section and key when they
// are wrong, and image files under ImagePath.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/skin_text.h"
#include "shell/runtime.h"
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

// While a list is set, a key or picture at fault is written there instead of raised: the key
// reads as 0 (a table size as 0) and the picture stays as it was, so that the loaders go on and
// one run of them finds every fault of a skin (the skin checker). nullptr raises again.
void CollectSkinFaults(std::vector<std::string>* faults);
// Raises the fault, or writes it down while a list is set.
void SkinFault(ErrorKind kind, const std::string& detail);

// The loaders count their steps here; start-up shows them as the loading window's progress.
// Nothing is shown until a reporter is set; an empty function takes it away again.
void SetLoadProgress(std::function<void()> reporter);
void LoadProgressStep();
