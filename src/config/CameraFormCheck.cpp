#include "config/CameraFormCheck.h"

#include "config/FormHost.h"
#include "config/FormRow.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// The row's label and trimmed text, or no label when the form has no such row.
struct Entry
{
    QString label;
    QString text;
};

Entry entry(const FormHost &form, const QString &key)
{
    const FormRowRef row = form.rowForKey(key);
    if (!row)
        return {};
    return { row->label, form.viewValueOfRow(row).trimmed() };
}

bool isPort(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

} // namespace

QString CameraFormCheck::problem(const FormHost &form)
{
    const Entry host = entry(form, QStringLiteral("video.host"));
    if (!host.label.isNull() && host.text.isEmpty())
        return QCoreApplication::translate("CameraFormCheck", "Enter the camera's address in \"%1\".").arg(host.label);
    for (const char *key : { "video.port", "control.port" }) {
        const Entry port = entry(form, QString::fromLatin1(key));
        if (!port.text.isEmpty() && !isPort(port.text))
            return QCoreApplication::translate(
                       "CameraFormCheck", "\"%1\" must be a number from 1 to 65535.").arg(port.label);
    }
    const Entry fps = entry(form, QStringLiteral("video.fps"));
    if (!fps.text.isEmpty()) {
        bool ok = false;
        const double rate = fps.text.toDouble(&ok);
        if (!ok || !(rate > 0 && rate <= 1000))
            return QCoreApplication::translate(
                       "CameraFormCheck", "\"%1\" must be a number of frames per second, such as 5.")
                .arg(fps.label);
    }
    const Entry resolution = entry(form, QStringLiteral("video.resolution"));
    static const QRegularExpression size(QStringLiteral("^[1-9][0-9]{0,4}x[1-9][0-9]{0,4}$"));
    if (!resolution.text.isEmpty() && !size.match(resolution.text).hasMatch())
        return QCoreApplication::translate(
                   "CameraFormCheck", "\"%1\" must be a width and a height, such as 640x480.")
            .arg(resolution.label);
    return {};
}
