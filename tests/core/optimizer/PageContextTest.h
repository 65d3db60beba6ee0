#pragma once

#include "TestEnvironment.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/PageContext.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <string>

namespace vantor::testing {

inline std::size_t count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

inline bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// One page worked on as a run would: the context over the project record
// and options, with start signs, doorway terms and a log of its own, line
// end "\n" and the homepage "index.htm".
class PageContextTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        context.record = &projectRecord();
        context.options = &projectOptions();
        context.signs = &signs;
        context.doorways = &doorways;
        context.log = &log;
        context.lineEnd = "\n";
        context.homepageFileName = "index.htm";
        context.homepageExtension = "htm";
    }

    ProjectRecord &record() { return projectRecord(); }
    ProjectOptions &options() { return projectOptions(); }

    StartSigns signs;
    DoorwayTerms doorways;
    RunLog log;
    PageContext context;
};

} // namespace vantor::testing
