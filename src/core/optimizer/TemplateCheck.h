#pragma once

#include <functional>
#include <string>

namespace vantor {

class RunLog;
class Ui;

// The template doorway pages are made from: vantor!!/index.htm in the
// homepage directory.
std::string templatePath(const std::string &homepageDirectory);

// Checks the template and logs what is wrong with it. When it passes, the
// template has been written back with its first head and body tags in upper
// case, which the doorway steps rely on. A template that is not there fails
// without a line: the run then offers the template wizard.
bool checkTemplate(const std::string &homepageDirectory, RunLog &log, Ui &ui);
// The same for the run, which keeps every file it changes: beforeWrite is
// asked before the template is written back (false: it is not written).
// writeFailed tells a template that is fine but could not be written back,
// a full disk say: that is no reason to offer the template wizard.
bool checkTemplate(const std::string &homepageDirectory, RunLog &log, Ui &ui,
                   const std::function<bool(const std::string &path)> &beforeWrite, bool &writeFailed);

// The error line and To Do of a template that is not there to be used.
std::string missingTemplateError();
std::string makeTemplateTodo();

} // namespace vantor
