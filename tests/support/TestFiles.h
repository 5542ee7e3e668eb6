// Files as the Windows tests see them: Unix paths handed over by the build or
// the environment (Wine shows the Unix root as drive Z:), whole files, and the
// temporary folder.
#pragma once

#include <string>
#include <vector>

namespace qx::test {

// A Unix path as a Windows path on drive Z:; any other path as it is.
std::string WindowsPath(const std::string& path);
// The path in an environment variable, as a Windows path; empty when unset.
std::string WindowsPathOf(const char* variable);

// The whole content of a file, or empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The lines of a file ("\n" taken off, "\r" kept).
std::vector<std::string> FileLines(const std::string& path);
bool FileExists(const std::string& path);

// A file of that name in the temporary folder.
std::string TempFile(const char* name);
// Names of the files in the temporary folder that match pattern ("qxp*.tmp").
std::vector<std::string> TempFilesMatching(const char* pattern);

}  // namespace qx::test
