#include "ProfileBuilder.h"

#include "platform/MsgBox.h"

#include <QFile>
#include <cstdlib>
#include <fstream>

ProfileBuilder::ProfileBuilder()
{
    RegisterPanelClassDescriptors();
    surface.resize(800, 600);
    icon.resize(32, 32);
    header.count = 8;
    header.usedMask = 0;
    for (auto &d : header.defaults)
        d = -1;
    for (auto &b : header.blackOut)
        b = -1;
    header.name = "Test Fixture";
}

void ProfileBuilder::Channel(int ch, int function, bool smooth, int def, int blackOut)
{
    header.usedMask |= 1u << ch;
    header.functions[ch] = static_cast<std::uint8_t>(function);
    if (smooth)
        header.smoothMask |= 1u << ch;
    header.defaults[ch] = static_cast<std::int16_t>(def);
    header.blackOut[ch] = static_cast<std::int16_t>(blackOut);
}

QByteArray ProfileBuilder::Bytes()
{
    return BuildDspProfile(header, icon, params, list, &surface);
}

std::string ProfileBuilder::Save(const std::string &name)
{
    return Save(Bytes(), name);
}

std::string ProfileBuilder::Save(const QByteArray &bytes, const std::string &name)
{
    const std::string path = m_dir.path().toStdString() + "/" + name;
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

BoxCapture::BoxCapture()
{
    m_path = m_dir.path().toStdString() + "/box.log";
    setenv("BRTV_BOX_LOG", m_path.c_str(), 1);
    platform::QueueAnswers({});
}

BoxCapture::~BoxCapture()
{
    unsetenv("BRTV_BOX_LOG");
    platform::ResetAnswers();
}

std::vector<std::string> BoxCapture::Lines() const
{
    std::vector<std::string> out;
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        // Drop the answer after the last '|'.
        const auto bar = line.rfind('|');
        out.push_back(bar == std::string::npos ? line : line.substr(0, bar));
    }
    return out;
}

QImage SolidImage(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}
