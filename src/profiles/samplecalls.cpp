// SPDX-License-Identifier: GPL-3.0-or-later
#include "samplecalls.h"

#include <algorithm>
#include <cstring>

namespace profiles {
namespace {

constexpr unsigned char kLongLabel = 255;

void appendLabel(std::string& labels, const std::string& label)
{
    if (label.size() < kLongLabel) {
        labels += static_cast<char>(label.size());
    } else {
        const auto size = static_cast<std::uint32_t>(label.size());
        labels += static_cast<char>(kLongLabel);
        labels.append(reinterpret_cast<const char*>(&size), sizeof size);
    }
    labels += label;
}

// The label at `at`; `at` moves past it.
std::string readLabel(const std::string& labels, std::size_t& at)
{
    std::size_t size = static_cast<unsigned char>(labels[at++]);
    if (size == kLongLabel) {
        std::uint32_t longSize = 0;
        std::memcpy(&longSize, labels.data() + at, sizeof longSize);
        at += sizeof longSize;
        size = longSize;
    }
    std::string label = labels.substr(at, size);
    at += size;
    return label;
}

// Where the call at the marker is, or would be put.
template <typename Calls> auto place(Calls& calls, std::size_t marker)
{
    return std::lower_bound(calls.begin(), calls.end(), marker,
                            [](const auto& call, std::size_t m) { return call.marker < m; });
}

} // namespace

std::vector<std::string> SampleCalls::labelsOf(const Stored& call) const
{
    std::vector<std::string> labels;
    std::size_t at = call.labels;
    for (std::uint32_t i = 0; i < call.count; ++i)
        labels.push_back(readLabel(m_labels, at));
    return labels;
}

std::optional<MarkerCall> SampleCalls::find(std::size_t marker) const
{
    const auto it = place(m_calls, marker);
    if (it == m_calls.end() || it->marker != marker)
        return std::nullopt;
    MarkerCall call{labelsOf(*it), it->line, nullptr};
    if (it->hasOther) {
        const auto other = std::find_if(m_other.begin(), m_other.end(),
                                        [marker](const auto& entry) { return entry.first == marker; });
        call.other = &other->second;
    }
    return call;
}

std::size_t SampleCalls::typedCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_calls.begin(), m_calls.end(), [](const Stored& call) { return call.count > 0; }));
}

bool SampleCalls::add(std::size_t marker, int line, const std::vector<std::string>& alleles,
                      std::optional<MarkerCall::OtherReadings> other)
{
    const auto it = place(m_calls, marker);
    if (it != m_calls.end() && it->marker == marker)
        return false;
    const Stored call{static_cast<std::uint32_t>(marker), line, static_cast<std::uint32_t>(m_labels.size()),
                      static_cast<std::uint32_t>(alleles.size()), other ? 1u : 0u};
    for (const auto& label : alleles)
        appendLabel(m_labels, label);
    m_calls.insert(it, call);
    if (other)
        m_other.emplace_back(static_cast<std::uint32_t>(marker), std::move(*other));
    return true;
}

void SampleCalls::addAllele(std::size_t marker, int line, const std::string& label)
{
    auto it = place(m_calls, marker);
    if (it == m_calls.end() || it->marker != marker)
        it = m_calls.insert(
            it, Stored{static_cast<std::uint32_t>(marker), line, static_cast<std::uint32_t>(m_labels.size()), 0, 0});
    if (label.empty())
        return;
    std::vector<std::string> labels = labelsOf(*it);
    if (std::find(labels.begin(), labels.end(), label) != labels.end())
        return;
    // A call's labels are one run: a call whose run is not the last is written again at the end
    // (the rows of one sample and marker usually follow each other, so this is rare).
    std::size_t end = it->labels;
    for (std::uint32_t i = 0; i < it->count; ++i)
        readLabel(m_labels, end);
    if (end != m_labels.size()) {
        it->labels = static_cast<std::uint32_t>(m_labels.size());
        for (const auto& kept : labels)
            appendLabel(m_labels, kept);
    }
    appendLabel(m_labels, label);
    ++it->count;
}

} // namespace profiles
