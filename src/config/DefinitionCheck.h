#pragma once

#include "config/Value.h"

#include <QString>

// Checks that records from outside (imported files, received links) have the
// shape the rest of the system relies on before any of them is used.
class DefinitionCheck final
{
public:
    DefinitionCheck() = delete;

    // Each returns why the record is unusable, or an empty text when it is fine.
    static QString cameraProblem(const Value &camera);
    static QString groupProblem(const Value &group);
    static QString groupListProblem(const Value &groups);
};
