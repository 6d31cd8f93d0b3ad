#include "config/DefinitionCheck.h"

QString DefinitionCheck::cameraProblem(const Value &camera)
{
    if (!camera.isDictionary())
        return QStringLiteral("the camera is not a dictionary");
    for (const QString &key : { QStringLiteral("video.parameters"), QStringLiteral("control.parameters") }) {
        const Value params = camera.value(key);
        if (!params.isNull() && !params.isDictionary())
            return QStringLiteral("\"%1\" is not a dictionary").arg(key);
    }
    return {};
}

QString DefinitionCheck::groupProblem(const Value &group)
{
    if (!group.isDictionary())
        return QStringLiteral("the group is not a dictionary");
    const Value cameras = group.value(QStringLiteral("cameras"));
    if (cameras.isNull())
        return {};
    if (!cameras.isArray())
        return QStringLiteral("its cameras are not an array");
    for (qsizetype c = 0; c < cameras.size(); ++c) {
        const QString problem = cameraProblem(cameras.at(c));
        if (!problem.isEmpty())
            return QStringLiteral("camera %1: %2").arg(c + 1).arg(problem);
    }
    return {};
}

QString DefinitionCheck::groupListProblem(const Value &groups)
{
    if (!groups.isArray())
        return QStringLiteral("the property list is not an array of groups");
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString problem = groupProblem(groups.at(i));
        if (!problem.isEmpty())
            return QStringLiteral("group %1: %2").arg(i + 1).arg(problem);
    }
    return {};
}
