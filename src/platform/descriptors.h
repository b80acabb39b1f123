// Writing into a pipe by its C library descriptor, as the encoder's extra inputs are handed out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes all of bytes, blocking while the pipe is full. False with reason set when the reader is
// gone or the write fails.
bool WriteAllTo(int descriptor, const std::uint8_t* bytes, std::size_t size, std::string& reason);
void CloseDescriptor(int descriptor);
