#include "FlashDownload.h"
#include "StandAloneImage.h"

#include <filesystem>

namespace {
std::uint16_t WordAt(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
} // namespace

std::uint8_t FlashChecksum(const std::uint8_t *block)
{
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += block[i];
    return static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

bool FlashDownload(const FlashRequests &requests, const std::uint8_t *block, std::uint16_t page,
                   std::uint8_t checksum, std::string &text)
{
    auto fail = [&text](const char *why) {
        text = why;
        return false;
    };
    const auto p = static_cast<std::int16_t>(page);
    std::uint8_t frame[512];
    std::copy(block, block + 512, frame);

    requests.send(11, 0, 0);
    requests.sleep(3);
    if (!requests.send(6, 0, 0))
        return fail("Ewtd 1");
    if (!requests.write(512, frame))
        return fail("Ewtd 2");
    if (!requests.send(9, 0, 0))
        return fail("Ewtd 3");
    requests.sleep(3);
    std::uint8_t sum = 0;
    if (!requests.read(1, &sum))
        return fail("No answer to Check Sum requirement\r\nafter transmittion data.");
    if (sum != checksum)
        return fail("Check Sum Error after transmittion");
    if (!requests.send(8, static_cast<std::int16_t>(WordAt(block + 512)), static_cast<std::int16_t>(WordAt(block + 514))))
        return fail("Ewtd 4");
    if (!requests.send(12, p, 0))
        return fail("Ewtd 5");
    requests.sleep(60);
    std::uint8_t reply[3] = {0, 0, 0};
    if (!requests.read(2, reply))
        return fail("Ewtd 6");
    if (reply[0] != 'O' || reply[1] != 'K') {
        text.assign(reinterpret_cast<const char *>(reply));
        return false;
    }
    if (!requests.send(5, 0, 0))
        return fail("Ewtd 9");
    requests.sleep(3);
    if (!requests.send(13, p, 0))
        return fail("Ewtd 7");
    requests.sleep(30);
    reply[0] = reply[1] = 0;
    if (!requests.read(2, reply))
        return fail("Ewtd 10");
    if (reply[0] != 'O' || reply[1] != 'K')
        return fail("Error Reading Flash Page");
    if (!requests.send(9, 0, 0))
        return fail("Ewtd 8");
    requests.sleep(3);
    sum = 0;
    if (!requests.read(1, &sum))
        return fail("No answer to Check Sum requirement\r\nafter Reading flash");
    if (sum != checksum)
        return fail("Check Sum Error after reading flash");
    text = "OK";
    return true;
}

bool FlashDownloadBlock(const FlashRequests &requests, const std::uint8_t *block, std::uint16_t page,
                        std::string &text, int &attempts)
{
    const std::uint8_t checksum = FlashChecksum(block);
    for (attempts = 1; attempts <= FlashAttempts; ++attempts)
        if (FlashDownload(requests, block, page, checksum, text))
            return true;
    attempts = FlashAttempts;
    return false;
}

std::int64_t FlashImageBlocks(const std::string &path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return -1;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path, ec));
    if (ec || size <= 0 || size % ImageBlockSize != 0)
        return -1;
    return size / ImageBlockSize;
}
