#pragma once

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

// The error line and To Do of a template that is not there to be used.
std::string missingTemplateError();
std::string makeTemplateTodo();

} // namespace vantor
