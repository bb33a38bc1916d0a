#include "WaveIn.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

struct DeviceSource {
    std::mutex mutex;
    std::optional<std::vector<FakeWaveInDevice>> fake;
    std::string wavePath;
    bool paced = false;
    WaveIn::Worker *fileCapture = nullptr;   // the capture that reads the file
};

void FromEnvironment(DeviceSource &s);

DeviceSource &Source()
{
    static DeviceSource s;
    static std::once_flag once;
    std::call_once(once, [] { FromEnvironment(s); });
    return s;
}

QAudioFormat ToQt(const WaveInFormat &f)
{
    QAudioFormat q;
    q.setSampleRate(f.rate);
    q.setChannelCount(1);
    q.setSampleFormat(f.bits == 16 ? QAudioFormat::Int16 : QAudioFormat::UInt8);
    return q;
}

std::optional<QAudioDevice> SystemDevice(int device)
{
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    if (device < 0 || device >= inputs.size())
        return std::nullopt;
    return inputs[device];
}

std::uint32_t Le32(const std::uint8_t *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool TableRate(int rate)
{
    return rate == 44100 || rate == 22050 || rate == 11025;
}

// BRTV_WAVE_IN: a WAV file as the only capture device, played in real time.
void FromEnvironment(DeviceSource &s)
{
    const char *path = std::getenv("BRTV_WAVE_IN");
    if (!path || !*path)
        return;
    std::string error;
    const std::optional<WaveData> wave = ReadWaveFile(path, error);
    if (!wave) {
        std::fprintf(stderr, "BRTV_WAVE_IN: %s\n", error.c_str());
        return;
    }
    const std::string name = path;
    s.fake = std::vector<FakeWaveInDevice>{{"WAV " + name.substr(name.find_last_of('/') + 1), {wave->format}}};
    s.wavePath = path;
    s.paced = true;
}

} // namespace

void ReadWaveInEnvironment()
{
    DeviceSource &s = Source();
    std::lock_guard<std::mutex> lock(s.mutex);
    FromEnvironment(s);
}

std::vector<std::string> WaveInDevices()
{
    {
        std::lock_guard<std::mutex> lock(Source().mutex);
        if (Source().fake) {
            std::vector<std::string> names;
            for (const FakeWaveInDevice &d : *Source().fake)
                names.push_back(d.name);
            return names;
        }
    }
    std::vector<std::string> names;
    for (const QAudioDevice &d : QMediaDevices::audioInputs())
        names.push_back(d.description().toStdString());
    return names;
}

bool WaveInSupports(int device, const WaveInFormat &format)
{
    {
        std::lock_guard<std::mutex> lock(Source().mutex);
        if (Source().fake) {
            const auto &list = *Source().fake;
            if (device < 0 || device >= static_cast<int>(list.size()))
                return false;
            const auto &formats = list[static_cast<std::size_t>(device)].formats;
            return std::find(formats.begin(), formats.end(), format) != formats.end();
        }
    }
    const std::optional<QAudioDevice> d = SystemDevice(device);
    return d && d->isFormatSupported(ToQt(format));
}

void SetFakeWaveInDevices(std::vector<FakeWaveInDevice> devices)
{
    std::lock_guard<std::mutex> lock(Source().mutex);
    Source().fake = std::move(devices);
}

void UseSystemWaveInDevices()
{
    std::lock_guard<std::mutex> lock(Source().mutex);
    Source().fake.reset();
}

std::optional<WaveData> ReadWaveFile(const std::string &path, std::string &error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "Can't open " + path;
        return std::nullopt;
    }
    const QByteArray all = file.readAll();
    const auto *p = reinterpret_cast<const std::uint8_t *>(all.constData());
    const std::size_t size = static_cast<std::size_t>(all.size());
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) {
        error = "Not a WAV file";
        return std::nullopt;
    }
    WaveData wave;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= size) {
        const std::uint32_t length = Le32(p + at + 4);
        const std::uint8_t *body = p + at + 8;
        const std::size_t left = size - at - 8;
        if (std::memcmp(p + at, "fmt ", 4) == 0) {
            if (length < 16 || left < 16) {
                error = "Truncated WAV format";
                return std::nullopt;
            }
            const int tag = Le16(body), channels = Le16(body + 2), bits = Le16(body + 14);
            const int rate = static_cast<int>(Le32(body + 4));
            if (tag != 1 || channels != 1 || (bits != 8 && bits != 16) || !TableRate(rate)) {
                error = "Only mono 8 or 16 bit PCM at 11025, 22050 or 44100 Hz";
                return std::nullopt;
            }
            wave.format = WaveInFormat{rate, bits};
            haveFormat = true;
        } else if (std::memcmp(p + at, "data", 4) == 0) {
            if (!haveFormat) {
                error = "WAV data before its format";
                return std::nullopt;
            }
            const std::size_t n = std::min<std::size_t>(length, left);
            wave.bytes.assign(body, body + n);
            return wave;
        }
        if (length > left)
            break;
        at += 8 + length + (length & 1);
    }
    error = "WAV file without data";
    return std::nullopt;
}

// The worker: a thread with an object living on it that owns the audio source or the
// file reader, and cuts what they deliver into whole buffers.
struct WaveIn::Worker {
    QThread thread;
    QObject *context = nullptr;   // lives on `thread`
    WaveBufferHandler handler;
    int bufferBytes = 0;
    std::vector<std::uint8_t> pending;
    bool stopping = false;   // worker thread only

    QAudioSource *source = nullptr;
    QIODevice *io = nullptr;

    std::optional<WaveData> file;
    std::size_t filePos = 0;
    QTimer *pacer = nullptr;
    QElapsedTimer clock;

    void Feed(const std::uint8_t *data, std::size_t n)
    {
        pending.insert(pending.end(), data, data + n);
        std::size_t at = 0;
        while (!stopping && pending.size() - at >= static_cast<std::size_t>(bufferBytes)) {
            handler(pending.data() + at, bufferBytes);
            at += static_cast<std::size_t>(bufferBytes);
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
    }

    void FeedFile(std::size_t n)
    {
        n = std::min(n, file->bytes.size() - filePos);
        const std::size_t from = filePos;
        filePos += n;
        Feed(file->bytes.data() + from, n);
    }

    // On the worker thread.
    template <typename F>
    void Run(F f)
    {
        QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
    }
};

WaveIn::WaveIn() = default;

WaveIn::~WaveIn()
{
    Stop();
}

bool WaveIn::Start(int device, const WaveInFormat &format, int bufferBytes, WaveBufferHandler handler,
                   std::string &error)
{
    Stop();
    std::string path;
    bool paced = false;
    {
        std::lock_guard<std::mutex> lock(Source().mutex);
        path = Source().wavePath;
        paced = Source().paced;
    }
    auto w = std::make_unique<Worker>();
    w->handler = std::move(handler);
    w->bufferBytes = std::max(bufferBytes, 1);
    if (!path.empty()) {
        w->file = ReadWaveFile(path, error);
        if (!w->file)
            return false;
        if (!(w->file->format == format)) {
            error = "The file's format differs from the capture format";
            return false;
        }
    }
    w->context = new QObject;
    w->context->moveToThread(&w->thread);
    QObject::connect(&w->thread, &QThread::finished, w->context, &QObject::deleteLater);
    w->thread.start();

    bool ok = true;
    Worker *raw = w.get();
    w->Run([raw, device, format, paced, &ok, &error] {
        if (raw->file) {
            if (paced) {
                raw->pacer = new QTimer(raw->context);
                raw->pacer->setInterval(10);
                raw->clock.start();
                const std::size_t bytesPerMs = static_cast<std::size_t>(format.rate) * (format.bits / 8);
                QObject::connect(raw->pacer, &QTimer::timeout, raw->context, [raw, bytesPerMs] {
                    const std::size_t due = static_cast<std::size_t>(raw->clock.elapsed()) * bytesPerMs / 1000;
                    if (due > raw->filePos)
                        raw->FeedFile(due - raw->filePos);
                });
                raw->pacer->start();
            }
            return;
        }
        const std::optional<QAudioDevice> d = SystemDevice(device);
        if (!d) {
            error = "No such capture device";
            ok = false;
            return;
        }
        raw->source = new QAudioSource(*d, ToQt(format), raw->context);
        raw->source->setBufferSize(raw->bufferBytes * 2);
        raw->io = raw->source->start();
        if (!raw->io) {
            error = "The capture device can't be opened (error " + std::to_string(int(raw->source->error())) + ")";
            delete raw->source;
            raw->source = nullptr;
            ok = false;
            return;
        }
        QObject::connect(raw->io, &QIODevice::readyRead, raw->context, [raw] {
            const QByteArray data = raw->io->readAll();
            raw->Feed(reinterpret_cast<const std::uint8_t *>(data.constData()), static_cast<std::size_t>(data.size()));
        });
    });
    worker_ = std::move(w);
    if (!ok) {
        Stop();
        return false;
    }
    if (worker_->file) {
        std::lock_guard<std::mutex> lock(Source().mutex);
        Source().fileCapture = worker_.get();
    }
    return true;
}

void WaveIn::Stop()
{
    if (!worker_)
        return;
    {
        std::lock_guard<std::mutex> lock(Source().mutex);
        if (Source().fileCapture == worker_.get())
            Source().fileCapture = nullptr;
    }
    Worker *raw = worker_.get();
    raw->Run([raw] {
        raw->stopping = true;
        if (raw->pacer)
            raw->pacer->stop();
        if (raw->source) {
            raw->source->stop();
            delete raw->source;
            raw->source = nullptr;
            raw->io = nullptr;
        }
    });
    raw->thread.quit();
    raw->thread.wait();
    worker_.reset();
}

bool WaveIn::Running() const
{
    return worker_ != nullptr;
}

void SetWaveInFile(const std::string &path, bool paced)
{
    std::lock_guard<std::mutex> lock(Source().mutex);
    Source().wavePath = path;
    Source().paced = paced;
}

bool StepWaveIn()
{
    // The GUI thread starts and stops captures, so the capture cannot go away meanwhile.
    WaveIn::Worker *w;
    {
        std::lock_guard<std::mutex> lock(Source().mutex);
        w = Source().fileCapture;
    }
    if (!w || !w->file || w->filePos >= w->file->bytes.size())
        return false;
    const std::size_t n = static_cast<std::size_t>(w->bufferBytes);
    w->Run([w, n] { w->FeedFile(n); });
    return true;
}

} // namespace platform
