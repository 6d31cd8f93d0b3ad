#include "video/VideoProfile.h"

#include "video/MJPEGStreamReader.h"

#include "config/FormHost.h"
#include "util/Utilities.h"

#include <QCoreApplication>
#include <QUrl>

QString VideoProfile::text(const Value &params, const char *key, const char *fallback)
{
    const QString name = QString::fromLatin1(key);
    return params.hasText(name) ? params.value(name).toString() : QString::fromUtf8(fallback);
}

QString VideoProfile::scheme(const Value &params)
{
    return params.value(QStringLiteral("video.ssl")).toBool() ? QStringLiteral("https") : QStringLiteral("http");
}

QString VideoProfile::credentials(const Value &params)
{
    if (!params.hasText(QStringLiteral("video.username")) || !params.hasText(QStringLiteral("video.password")))
        return {};
    return Utilities::urlUserInfo(text(params, "video.username"), text(params, "video.password"));
}

QString VideoProfile::portPiece(const Value &params)
{
    const qint64 port = params.value(QStringLiteral("video.port")).toInteger();
    return port == 80 || port == 0 ? QString() : QStringLiteral(":%1").arg(port);
}

std::unique_ptr<FrameProducer> VideoProfile::httpReader(const Value &params, const QString &urlText, QThread *thread)
{
    QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl();
    auto reader = std::make_unique<MJPEGStreamReader>(thread);
    reader->setConnectionParameters(params, url);
    return reader;
}

void VideoProfile::addTextRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                              const QString &label, Field size, const QString &hint, FormTextEntry::Keyboard keyboard,
                              bool secure)
{
    auto field = form.createDefaultTextfield(size == Field::Wide);
    field->setPlaceholder(hint);
    field->setKeyboard(keyboard);
    field->setSecureEntry(secure);
    field->setValue(params.value(key).toString());
    form.addRow(key, label, field, QString(), section);
}

void VideoProfile::addSwitchRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                                const QString &label)
{
    auto field = form.createSwitch();
    field->setValue(params.value(key).toBool() ? QStringLiteral("y") : QStringLiteral("n"));
    form.addRow(key, label, field, QStringLiteral("n"), section);
}

void VideoProfile::addChoiceRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                                const QString &label, const QStringList &values, const QStringList &labels)
{
    auto field = form.createChoice(label, values, labels);
    field->setValue(params.value(key).toString());
    form.addRow(key, label, field, values.value(0), section);
}

FormSectionRef VideoProfile::addTitledSection(FormHost &form, const QString &key, const QString &title)
{
    FormSectionRef section = form.addSection(key);
    section->title = title;
    return section;
}

void VideoProfile::addHostRow(FormHost &form, const FormSectionRef &section, const Value &params)
{
    addTextRow(form, section, params, QStringLiteral("video.host"),
               QCoreApplication::translate("VideoProfile", "Host"), Field::Wide,
               QStringLiteral("0.0.0.0"), FormTextEntry::Keyboard::Url);
}

void VideoProfile::addPortRow(FormHost &form, const FormSectionRef &section, const Value &params,
                              FormTextEntry::Keyboard keyboard)
{
    addTextRow(form, section, params, QStringLiteral("video.port"),
               QCoreApplication::translate("VideoProfile", "Port"), Field::Narrow,
               QStringLiteral("80"), keyboard);
}

void VideoProfile::addCredentialRows(FormHost &form, const FormSectionRef &section, const Value &params)
{
    addTextRow(form, section, params, QStringLiteral("video.username"),
               QCoreApplication::translate("VideoProfile", "Username"), Field::Narrow,
               QCoreApplication::translate("VideoProfile", "none"));
    addTextRow(form, section, params, QStringLiteral("video.password"),
               QCoreApplication::translate("VideoProfile", "Password"), Field::Narrow,
               QCoreApplication::translate("VideoProfile", "none"), FormTextEntry::Keyboard::Default, true);
}

void VideoProfile::addResolutionRow(FormHost &form, const FormSectionRef &section, const Value &params,
                                    const QString &hint)
{
    addTextRow(form, section, params, QStringLiteral("video.resolution"),
               QCoreApplication::translate("VideoProfile", "Resolution"), Field::Narrow,
               hint);
}

void VideoProfile::addFrameRateRow(FormHost &form, const FormSectionRef &section, const Value &params)
{
    addTextRow(form, section, params, QStringLiteral("video.fps"),
               QCoreApplication::translate("VideoProfile", "Frames/Second"), Field::Narrow,
               QStringLiteral("1"), FormTextEntry::Keyboard::NumbersAndPunctuation);
}

void VideoProfile::addCompressionRow(FormHost &form, const FormSectionRef &section, const Value &params,
                                     const QString &hint)
{
    addTextRow(form, section, params, QStringLiteral("video.compression"),
               QCoreApplication::translate("VideoProfile", "Compression"),
               Field::Narrow, hint, FormTextEntry::Keyboard::NumbersAndPunctuation);
}

Value VideoProfile::readKeys(const FormHost &form, const QStringList &keys) const
{
    Value params = Value::dictionary();
    params.insert(QStringLiteral("video.type"), canHandleType());
    for (const QString &key : keys) {
        const QString value = form.viewValueOfRow(form.rowForKey(key));
        if (!value.isNull())
            params.insert(key, value);
    }
    return params;
}
