#pragma once

#include <cstddef>
#include <span>

// The PNG streams compiled into the program; the table is generated at build
// time from the files in ui/pictures.
struct EmbeddedPicture {
  int key;
  const unsigned char* data;
  std::size_t size;
};

std::span<const EmbeddedPicture> EmbeddedPictures();
