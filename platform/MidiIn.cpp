#include "MidiIn.h"

#include "Messages.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

// The library's own error printing: a missing sequencer is an answer here, not an error.
void Quiet(const char *, int, const char *, int, const char *, ...) {}

struct PortAddress {
    int client = 0;
    int port = 0;
};

// The program's sequencer client and its one input port, opened on first use.
struct Sequencer {
    std::mutex mutex;
    bool tried = false;
    snd_seq_t *seq = nullptr;
    int port = -1;

    std::optional<std::vector<std::string>> fakeNames;
    std::vector<int> fakeBusy;
    MidiIn::Reader *active = nullptr;   // the open reader

    snd_seq_t *Open()
    {
        if (tried)
            return seq;
        tried = true;
        snd_lib_error_set_handler(Quiet);
        if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
            seq = nullptr;
            return nullptr;
        }
        snd_seq_set_client_name(seq, "Brantoval");
        port = snd_seq_create_simple_port(seq, "Remote control", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0) {
            snd_seq_close(seq);
            seq = nullptr;
        }
        return seq;
    }

    // Caller holds the mutex.
    std::vector<std::pair<std::string, PortAddress>> Ports()
    {
        std::vector<std::pair<std::string, PortAddress>> out;
        snd_seq_t *s = Open();
        if (!s)
            return out;
        const int self = snd_seq_client_id(s);
        snd_seq_client_info_t *client;
        snd_seq_port_info_t *info;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&info);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(s, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == 0 || id == self)
                continue;
            snd_seq_port_info_set_client(info, id);
            snd_seq_port_info_set_port(info, -1);
            while (snd_seq_query_next_port(s, info) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(info);
                const unsigned need = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
                if ((caps & need) != need || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                    continue;
                out.emplace_back(std::string(snd_seq_client_info_get_name(client)) + ":" +
                                     snd_seq_port_info_get_name(info),
                                 PortAddress{id, snd_seq_port_info_get_port(info)});
            }
        }
        return out;
    }
};

Sequencer &Seq()
{
    static Sequencer s;
    return s;
}

std::uint32_t Pack(int status, int d1, int d2)
{
    return static_cast<std::uint32_t>(status & 0xFF) | (static_cast<std::uint32_t>(d1 & 0x7F) << 8) |
           (static_cast<std::uint32_t>(d2 & 0x7F) << 16);
}

} // namespace

std::uint32_t PackSequencerEvent(const snd_seq_event_t &ev)
{
    switch (ev.type) {
    case SND_SEQ_EVENT_NOTEON:
        return Pack(0x90 | (ev.data.note.channel & 0x0F), ev.data.note.note, ev.data.note.velocity);
    case SND_SEQ_EVENT_NOTEOFF:
        return Pack(0x80 | (ev.data.note.channel & 0x0F), ev.data.note.note, ev.data.note.velocity);
    case SND_SEQ_EVENT_PGMCHANGE:
        return Pack(0xC0 | (ev.data.control.channel & 0x0F), ev.data.control.value, 0);
    case SND_SEQ_EVENT_CONTROLLER:
        return Pack(0xB0 | (ev.data.control.channel & 0x0F), static_cast<int>(ev.data.control.param),
                    ev.data.control.value);
    case SND_SEQ_EVENT_START:
        return 0xFA;
    case SND_SEQ_EVENT_CONTINUE:
        return 0xFB;
    case SND_SEQ_EVENT_STOP:
        return 0xFC;
    default:
        return 0;
    }
}

std::vector<std::string> MidiInDevices()
{
    Sequencer &s = Seq();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.fakeNames)
        return *s.fakeNames;
    std::vector<std::string> names;
    for (const auto &p : s.Ports())
        names.push_back(p.first);
    return names;
}

struct MidiIn::Reader {
    MidiHandler handler;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    int wake[2] = {-1, -1};
    snd_seq_t *seq = nullptr;    // null for a fake device
    PortAddress from;
    std::mutex queueMutex;
    std::deque<snd_seq_event_t> injected;

    void Hand(const snd_seq_event_t &ev)
    {
        const std::uint32_t packed = PackSequencerEvent(ev);
        if (packed && !stop.load())
            handler(packed);
    }

    void Run()
    {
        std::vector<pollfd> fds(1);
        fds[0] = pollfd{wake[0], POLLIN, 0};
        if (seq) {
            const int n = snd_seq_poll_descriptors_count(seq, POLLIN);
            fds.resize(1 + static_cast<std::size_t>(std::max(n, 0)));
            snd_seq_poll_descriptors(seq, fds.data() + 1, static_cast<unsigned>(n), POLLIN);
        }
        while (!stop.load()) {
            if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
                break;
            if (fds[0].revents & POLLIN) {
                char buf[64];
                [[maybe_unused]] auto r = read(wake[0], buf, sizeof buf);
            }
            for (;;) {
                std::optional<snd_seq_event_t> ev;
                {
                    std::lock_guard<std::mutex> lock(queueMutex);
                    if (!injected.empty()) {
                        ev = injected.front();
                        injected.pop_front();
                    }
                }
                if (!ev || stop.load())
                    break;
                Hand(*ev);
            }
            while (seq && !stop.load()) {
                snd_seq_event_t *ev = nullptr;
                if (snd_seq_event_input(seq, &ev) < 0 || !ev)
                    break;
                Hand(*ev);
            }
        }
        finished.store(true);
    }

    void Wake()
    {
        const char c = 1;
        [[maybe_unused]] auto r = write(wake[1], &c, 1);
    }
};

MidiIn::MidiIn() = default;

MidiIn::~MidiIn()
{
    Close();
}

bool MidiIn::Open(int device, MidiHandler handler)
{
    Close();
    auto r = std::make_unique<Reader>();
    r->handler = std::move(handler);
    Sequencer &s = Seq();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.fakeNames) {
            if (device < 0 || device >= static_cast<int>(s.fakeNames->size()))
                return false;
            for (int b : s.fakeBusy)
                if (b == device)
                    return false;
        } else {
            const auto ports = s.Ports();
            if (device < 0 || device >= static_cast<int>(ports.size()))
                return false;
            r->from = ports[static_cast<std::size_t>(device)].second;
            if (snd_seq_connect_from(s.seq, s.port, r->from.client, r->from.port) < 0)
                return false;
            r->seq = s.seq;
        }
        if (pipe2(r->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
            if (r->seq)
                snd_seq_disconnect_from(s.seq, s.port, r->from.client, r->from.port);
            return false;
        }
        s.active = r.get();
    }
    Reader *raw = r.get();
    r->thread = std::thread([raw] { raw->Run(); });
    reader_ = std::move(r);
    return true;
}

void MidiIn::Close()
{
    if (!reader_)
        return;
    Reader *r = reader_.get();
    {
        std::lock_guard<std::mutex> lock(Seq().mutex);
        if (Seq().active == r)
            Seq().active = nullptr;
    }
    r->stop.store(true);
    r->Wake();
    // The reader may be about to send to the GUI thread, which is here: keep releasing
    // its sends until it has left.
    const std::thread::id id = r->thread.get_id();
    while (!r->finished.load()) {
        AbandonBlockedSends(id);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    r->thread.join();
    if (r->seq) {
        std::lock_guard<std::mutex> lock(Seq().mutex);
        snd_seq_disconnect_from(r->seq, Seq().port, r->from.client, r->from.port);
    }
    close(r->wake[0]);
    close(r->wake[1]);
    reader_.reset();
}

bool MidiIn::IsOpen() const
{
    return reader_ != nullptr;
}

std::thread::id MidiIn::ReaderId() const
{
    return reader_ ? reader_->thread.get_id() : std::thread::id{};
}

void SetFakeMidiDevices(std::vector<std::string> names, std::vector<int> busy)
{
    std::lock_guard<std::mutex> lock(Seq().mutex);
    Seq().fakeNames = std::move(names);
    Seq().fakeBusy = std::move(busy);
}

void UseSystemMidiDevices()
{
    std::lock_guard<std::mutex> lock(Seq().mutex);
    Seq().fakeNames.reset();
    Seq().fakeBusy.clear();
}

bool InjectMidiEvent(const snd_seq_event_t &event)
{
    std::lock_guard<std::mutex> lock(Seq().mutex);
    MidiIn::Reader *r = Seq().active;
    if (!r || r->seq)
        return false;
    {
        std::lock_guard<std::mutex> q(r->queueMutex);
        r->injected.push_back(event);
    }
    r->Wake();
    return true;
}

} // namespace platform
