#include "project/ProjectOptions.h"

namespace vantor {

const std::array<ProjectOptions::Code, ProjectOptions::kCodeCount> &ProjectOptions::codes()
{
    static const std::array<Code, kCodeCount> table = {{
        {"titl", &ProjectOptions::titl, 3}, {"auth", &ProjectOptions::auth, 0}, {"expi", &ProjectOptions::expi, 0},
        {"repl", &ProjectOptions::repl, 0}, {"desc", &ProjectOptions::desc, 3}, {"keyw", &ProjectOptions::keyw, 3},
        {"cset", &ProjectOptions::cset, 0}, {"link", &ProjectOptions::link, 3}, {"robo", &ProjectOptions::robo, 3},
        {"copy", &ProjectOptions::copy, 3}, {"isin", &ProjectOptions::isin, 0}, {"gene", &ProjectOptions::gene, 0},
        {"revi", &ProjectOptions::revi, 3}, {"base", &ProjectOptions::base, 0}, {"dubl", &ProjectOptions::dubl, 0},
        {"vw96", &ProjectOptions::vw96, 0}, {"z395", &ProjectOptions::z395, 0}, {"pics", &ProjectOptions::pics, 0},
        {"soif", &ProjectOptions::soif, 0}, {"mecf", &ProjectOptions::mecf, 0}, {"vcop", &ProjectOptions::vcop, 3},
        {"door", &ProjectOptions::door, 1}, {"komm", &ProjectOptions::komm, 3}, {"nofr", &ProjectOptions::nofr, 3},
        {"such", &ProjectOptions::such, 3}, {"altt", &ProjectOptions::altt, 3}, {"vlin", &ProjectOptions::vlin, 3},
        {"buch", &ProjectOptions::buch, 0}, {"tite", &ProjectOptions::tite, 3}, {"text", &ProjectOptions::text, 0},
        {"rdfr", &ProjectOptions::rdfr, 3}, {"tico", &ProjectOptions::tico, 0}, {"deco", &ProjectOptions::deco, 0},
        {"sonz", &ProjectOptions::sonz, 0},
    }};
    return table;
}

const std::array<ProjectOptions::Code, ProjectOptions::kModernCodeCount> &ProjectOptions::modernCodes()
{
    static const std::array<Code, kModernCodeCount> table = {{
        {"cano", &ProjectOptions::cano, 0},
        {"view", &ProjectOptions::view, 0},
        {"lang", &ProjectOptions::lang, 0},
        {"ogtg", &ProjectOptions::ogtg, 0},
    }};
    return table;
}

int *ProjectOptions::find(std::string_view name)
{
    for (const auto &code : codes())
        if (name == code.name)
            return &(this->*code.field);
    for (const auto &code : modernCodes())
        if (name == code.name)
            return &(this->*code.field);
    return nullptr;
}

ProjectOptions &projectOptions()
{
    static ProjectOptions options;
    return options;
}

} // namespace vantor
