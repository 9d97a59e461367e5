// The native rules' answer for every seed of the fuzz targets of the pay
// rules, as the web edition's module is called: one JSON object a line, with
// the call, its arguments (texts as arrays of bytes, taken as they are) and
// the outcome. tests/web/module.test.mjs makes the same calls of the module
// in Chromium and compares.
//   web_seed_outcomes CORPUS_FOLDER   (fuzz/corpus)
#include "check.h"
#include "module1.h"
#include "runtime.h"
#include "schedule.h"
#include "wage.h"

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace soranika;

std::string Json(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string Bytes(std::string_view text) {
    std::string out = "[";
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += (i ? "," : "") + std::to_string(static_cast<unsigned char>(text[i]));
    }
    return out + ']';
}

// A double by its bits, so that the two sides compare exactly.
std::string Bits(double value) {
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, std::bit_cast<std::uint64_t>(value));
    return Json(hex);
}

// Each answer is a value, or the message of the error that computing it
// raised, as the module gives it.
template <typename Compute> std::string Answer(Compute&& compute) {
    try {
        return compute();
    } catch (const std::exception& error) {
        return "{\"error\":" + Json(ErrorMessage(error)) + "}";
    }
}

std::string EvaluateWageLine(std::string_view data) {
    const std::int16_t detailMode = fuzz::Int16At(data, 0);
    const std::int16_t weeklyHours = fuzz::Int16At(data, 2);
    data.remove_prefix(std::min<std::size_t>(4, data.size()));
    const auto in = fuzz::Split(data, 4);
    std::string args;
    for (const auto text : in) {
        args += Bytes(text) + ",";
    }
    args += std::to_string(detailMode) + "," + std::to_string(weeklyHours);
    const std::string outcome = Answer([&] {
        const WageOutcome o = EvaluateWage(in[0], in[1], in[2], in[3], detailMode, weeklyHours);
        const char* kinds[] = {"message", "caution", "result"};
        return "{\"kind\":" + Json(kinds[int(o.kind)]) + ",\"text\":" + Json(o.text) +
               ",\"daily\":" + Json(o.daily) + ",\"weekly\":" + Json(o.weekly) +
               ",\"monthly\":" + Json(o.monthly) +
               ",\"maskInputs\":" + (o.maskInputs ? "true" : "false") + "}";
    });
    return "\"call\":\"evaluateWage\",\"args\":[" + args + "],\"outcome\":" + outcome;
}

std::string NumberLine(std::string_view text) {
    const std::string outcome = Answer([&] {
        const double value = NumberFromText(text);
        return "{\"value\":" + Bits(value) +
               ",\"text\":" + Answer([&] { return Json(NumberToText(value)); }) +
               ",\"int16\":" + Answer([&] { return std::to_string(ToInt16(value)); }) + "}";
    });
    return "\"call\":\"numberFromText\",\"args\":[" + Bytes(text) + "],\"outcome\":" + outcome;
}

std::string WeeklyTotalLine(std::string_view data) {
    const bool edited = !data.empty() && (static_cast<unsigned char>(data[0]) & 1) != 0;
    data.remove_prefix(std::min<std::size_t>(3, data.size()));
    const auto in = fuzz::Split(data, 14);
    DayFields fields;
    std::string args;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = std::string(in[i]);
        args += (i ? "," : "") + Bytes(in[i]);
    }
    // The window loaded, a field edited or not, then 入力完了.
    ScheduleState schedule;
    schedule.Loaded();
    if (edited) {
        schedule.DayFieldChanged();
    }
    const std::string outcome = Answer([&] {
        bool entered = false;
        schedule.Confirm(fields, [&] { entered = true; });
        return "{\"entered\":" + std::string(entered ? "true" : "false") +
               ",\"weeklyHours\":" + std::to_string(Module1::WeeklyHours) + "}";
    });
    return "\"call\":\"confirmSchedule\",\"args\":[[" + args + "]," + (edited ? "true" : "false") +
           "],\"outcome\":" + outcome + ",\"detailMode\":" + std::to_string(Module1::DetailMode);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_seed_outcomes CORPUS_FOLDER\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    const std::pair<const char*, std::string (*)(std::string_view)> targets[] = {
        {"evaluate_wage", EvaluateWageLine},
        {"number_from_text", NumberLine},
        {"weekly_total", WeeklyTotalLine},
    };
    std::size_t count = 0;
    for (const auto& [target, line] : targets) {
        std::vector<std::filesystem::path> seeds;
        for (const auto& entry : std::filesystem::directory_iterator(corpus / target)) {
            seeds.push_back(entry.path());
        }
        std::sort(seeds.begin(), seeds.end());
        for (const auto& seed : seeds) {
            std::ifstream file(seed, std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>()};
            const std::string name = std::string(target) + "/" + seed.filename().string();
            std::printf("{\"seed\":%s,%s}\n", Json(name).c_str(), line(data).c_str());
            ++count;
        }
    }
    return count == 0 ? 1 : 0;
}
