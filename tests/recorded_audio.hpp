// Reading recorded 44100 Hz, 16-bit stereo audio: how loud it is, block by block, and where a
// stretch of it comes again.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

constexpr int frames_per_second = 44100;
constexpr int frames_per_block = 441;  // the loudness envelope has one value per 10 ms
constexpr int blocks_per_second = frames_per_second / frames_per_block;

// The loudness of 16-bit stereo audio, one value per 10 ms block.
inline std::vector<double> loudness_envelope(const std::string& audio) {
    std::vector<double> envelope;
    const std::size_t block_bytes = frames_per_block * 4;
    for (std::size_t at = 0; at + block_bytes <= audio.size(); at += block_bytes) {
        double sum = 0;
        for (std::size_t sample = at; sample < at + block_bytes; sample += 2) {
            std::int16_t value;
            std::memcpy(&value, audio.data() + sample, 2);
            sum += double(value) * value;
        }
        envelope.push_back(std::sqrt(sum / (block_bytes / 2)) / 32768.0);
    }
    return envelope;
}

// The left channel of 16-bit stereo audio.
inline std::vector<double> left_channel(const std::string& audio) {
    std::vector<double> left(audio.size() / 4);
    for (std::size_t frame = 0; frame < left.size(); ++frame) {
        std::int16_t value;
        std::memcpy(&value, audio.data() + frame * 4, 2);
        left[frame] = value;
    }
    return left;
}

// How alike the `length` samples at `a` and at `b` are: the cosine between them, 1 when equal.
inline double sameness(const std::vector<double>& samples, std::size_t a, std::size_t b, std::size_t length) {
    double product = 0, square_a = 0, square_b = 0;
    for (std::size_t i = 0; i < length; ++i) {
        product += samples[a + i] * samples[b + i];
        square_a += samples[a + i] * samples[a + i];
        square_b += samples[b + i] * samples[b + i];
    }
    return product / std::sqrt(square_a * square_b + 1e-30);
}

// The first frame from `from` on, and before `to`, where the `length` samples at `pattern` come
// again, or npos.
inline std::size_t find_again(const std::vector<double>& samples, std::size_t pattern, std::size_t length,
                              std::size_t from, std::size_t to = std::string::npos) {
    constexpr std::size_t quick_look = 64;  // most frames are ruled out after a few samples
    for (std::size_t frame = from; frame < to && frame + length <= samples.size(); ++frame) {
        if (sameness(samples, pattern, frame, quick_look) > 0.95 && sameness(samples, pattern, frame, length) > 0.99) {
            return frame;
        }
    }
    return std::string::npos;
}
