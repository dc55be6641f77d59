// The MD5 digest (RFC 1321) of the web-submission check lines, through
// OpenSSL's libcrypto.
#pragma once

#include <string>
#include <string_view>

// The MD5 of the bytes of the texts, the one after the other, as 32
// lower-case hexadecimal digits. Raises std::runtime_error when the library
// fails.
std::string Md5Hex(std::string_view First, std::string_view Second = {});
