#pragma once
// A pulse's profile: the samples of power over one period. The client writes
// 64 of them; a line may announce up to a few hundred. Profiles of up to 64
// samples live inside the record, so a result or a total of a hundred
// thousand pulses is not a hundred thousand heap blocks to make, touch and
// free; longer ones take the heap.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace signals {

class ProfileSamples {
public:
    static constexpr std::size_t kInline = 64;
    static constexpr std::size_t kMaxSamples = 0xFFFF;

    ProfileSamples() = default;
    ProfileSamples(std::initializer_list<std::uint8_t> samples) {
        assign(std::span<const std::uint8_t>(samples.begin(), samples.size()));
    }
    ProfileSamples(const ProfileSamples& other) { assign(other); }
    ProfileSamples(ProfileSamples&& other) noexcept { *this = std::move(other); }
    ProfileSamples& operator=(const ProfileSamples& other) {
        if (this != &other) assign(other);
        return *this;
    }
    ProfileSamples& operator=(ProfileSamples&& other) noexcept {
        if (this == &other) return *this;
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        heap_ = std::move(other.heap_);
        if (!heap_) std::copy_n(other.inline_.begin(), size_, inline_.begin());
        return *this;
    }
    ~ProfileSamples() = default;

    // New samples are zero, as a vector's are.
    void resize(std::size_t samples) {
        if (samples > kMaxSamples) throw std::length_error("profile too long");
        const auto count = static_cast<std::uint32_t>(samples);
        if (count <= size_) {
            Shrink(count);
            return;
        }
        if (count > kInline && !heap_) {
            auto grown = std::make_unique<std::uint8_t[]>(count);  // zeroed
            std::copy_n(inline_.begin(), size_, grown.get());
            heap_ = std::move(grown);
        } else if (heap_ && count > capacity_) {
            auto grown = std::make_unique<std::uint8_t[]>(count);
            std::copy_n(heap_.get(), size_, grown.get());
            heap_ = std::move(grown);
            capacity_ = count;
        } else {
            std::fill(data() + size_, data() + count, std::uint8_t{0});
        }
        if (heap_ && capacity_ < count) capacity_ = count;
        size_ = count;
    }
    void assign(std::size_t count, std::uint8_t value) {
        clear();
        resize(count);
        std::fill_n(data(), count, value);
    }
    void assign(std::span<const std::uint8_t> samples) {
        const bool own = !samples.empty() && samples.data() >= data() && samples.data() < end();
        if (own) {  // a part of itself: copy it out first
            const std::vector<std::uint8_t> copy(samples.begin(), samples.end());
            assign(copy);
            return;
        }
        clear();
        resize(samples.size());
        std::copy(samples.begin(), samples.end(), data());
    }
    void clear() { Shrink(0); }

    std::uint8_t* data() { return heap_ ? heap_.get() : inline_.data(); }
    const std::uint8_t* data() const { return heap_ ? heap_.get() : inline_.data(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Bytes held beyond the record itself.
    std::size_t HeapBytes() const { return heap_ ? capacity_ : 0; }

    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + size_; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + size_; }
    std::uint8_t operator[](std::size_t i) const { return data()[i]; }

    friend bool operator==(const ProfileSamples& a, const ProfileSamples& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    void Shrink(std::uint32_t count) {
        if (heap_ && count <= kInline) {
            std::copy_n(heap_.get(), count, inline_.begin());
            heap_.reset();
            capacity_ = 0;
        }
        size_ = count;
    }

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;  // of heap_, when the samples are there
    std::array<std::uint8_t, kInline> inline_{};
    std::unique_ptr<std::uint8_t[]> heap_;
};

}  // namespace signals
