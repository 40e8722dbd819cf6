// Textures: image files become Texture records in g_Textures, each with an
// OpenGL texture made through the upload seam, or the shared placeholder
// when the image cannot be read.
#pragma once

#include <string>

#include "scene/AssetRecords.h"

// The index in g_Textures of the record for this path, new or existing.
// Never fails: an unreadable image gets a record with the placeholder.
int LoadTexture(const std::wstring& path);

// The Texture Manager's list text: name, then " (" width "x" height ")".
std::wstring TextureListEntryText(const Texture& texture);
