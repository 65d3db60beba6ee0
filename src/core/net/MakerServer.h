#pragma once

#include <string>

namespace vantor {

// The maker's update server: data files, version file, support script,
// newsletter and documents. Its address is the text setting "updateserver"
// ("host" or "host:port"), read at every use; without it the program talks
// to the demo server on this machine.
namespace makerserver {

inline constexpr const char *kDefaultServer = "127.0.0.1:8080";

// The setting, or the default when it is missing or empty.
std::string server();
// "http://" + server() + pathAndQuery; the path starts with '/'.
std::string url(const std::string &pathAndQuery);
// The maker's page of Internet marketing documents ("Dokumente").
std::string documentsUrl();
// Where the program's newest version is offered.
std::string downloadPage();

} // namespace makerserver
} // namespace vantor
