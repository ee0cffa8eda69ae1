#pragma once

#include <functional>
#include <string>
#include <vector>

#include "BaselineRecord.h"
#include "GammaOutputs.h"

// Stand-in outputs for tests. Each output has an id, a table at its own size
// and an on/off state; the first one listed is the primary. It records every
// table written, and an output can be told to refuse reads and writes, or to
// show none of its tables (as XWayland's do).
// Switching outputs on or off is reported by the next TakeEvents().
class RecordingGammaOutputs final : public GammaOutputs {
public:
    // One output, "primary", of 256 levels, showing screen.
    explicit RecordingGammaOutputs(const GammaRamp& screen = LinearRamp());

    // Makes the output show table, as another program would; an id not seen
    // before becomes a new output, switched on, listed last.
    void Show(const std::string& id, GammaTable table);
    // Switches the output on or off; off, it keeps its table.
    void Switch(const std::string& id, bool on);
    void Refuse(const std::string& id, bool refuse);
    // Reported from the next ActiveOutputs() on.
    void SetShowsTables(const std::string& id, bool shows);

    const GammaTable& Shown(const std::string& id) const;
    // The primary output's table at 256 levels.
    GammaRamp Screen() const;

    struct Write {
        std::string id;
        GammaTable table;
    };
    // Every table handed to WriteTable, refused ones included, oldest first.
    const std::vector<Write>& Written() const { return written_; }
    int Reads() const { return reads_; }
    int Writes() const { return static_cast<int>(written_.size()); }
    int Flushes() const { return flushes_; }

    std::vector<GammaOutput> ActiveOutputs() override;
    std::optional<GammaTable> ReadTable(const GammaOutput& output) override;
    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override;
    // An output switched off keeps the table it is given, unless it refuses.
    bool WriteTableWhileOff(const GammaOutput& output, std::span<const RampEntry> table) override;
    bool Flush() override;
    int EventDescriptor() const override { return descriptor_; }
    // The descriptor it reports; -1 (none) at first.
    void SetEventDescriptor(int fd) { descriptor_ = fd; }
    bool TakeEvents() override;

    // Runs before each table is written, as if the program could end there.
    std::function<void()> beforeWrite = [] {};

private:
    struct Output {
        std::string id;
        GammaTable table;
        bool on = true;
        bool refuses = false;
        bool showsTables = true;
    };

    // The output if it is on at that size and does not refuse; else nullptr.
    Output* Usable(const GammaOutput& output);

    std::vector<Output> outputs_;
    std::vector<Write> written_;
    int reads_ = 0;
    int flushes_ = 0;
    bool changed_ = false;
    int descriptor_ = -1;
};

// A record store in memory for tests.
class MemoryRecordStore final : public RecordStore {
public:
    std::optional<std::string> Read() override { return bytes; }
    bool Write(std::string_view written) override {
        beforeChange();
        if (!refuses) {
            bytes = std::string(written);
        }
        return !refuses;
    }
    void Remove() override {
        beforeChange();
        bytes.reset();
    }

    std::optional<std::string> bytes;
    bool refuses = false;
    // Runs before each change of the record, as if the program could end there.
    std::function<void()> beforeChange = [] {};
};
