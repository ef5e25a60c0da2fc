#include "sim/state_json.h"

#include "sim/announce.h"

namespace lumora::sim {
namespace {

const char* const kEdgeNames[BlendState::kEdges] = {"left", "right", "top", "bottom"};
const char* const kChannelNames[BoxModel::kChannels] = {"A", "B"};

// Every value is a number, a boolean or one of the fixed names above, so no
// escaping is needed.
class Json {
  public:
    Json& raw(const std::string& text) {
        out_ += text;
        return *this;
    }
    Json& key(const char* name) {
        out_ += '"';
        out_ += name;
        out_ += "\":";
        return *this;
    }
    Json& value(long long number) {
        out_ += std::to_string(number);
        return *this;
    }
    Json& flag(bool on) {
        out_ += on ? "true" : "false";
        return *this;
    }
    Json& text(const char* name) {
        out_ += '"';
        out_ += name;
        out_ += '"';
        return *this;
    }
    std::string take() { return std::move(out_); }

  private:
    std::string out_;
};

void Window(Json& json, const BlendWindow& w) {
    json.raw("{").key("x").value(w.x).raw(",").key("y").value(w.y).raw(",");
    json.key("width").value(w.width).raw(",").key("height").value(w.height).raw(",");
    json.key("enable").value(w.enable).raw("}");
}

void Blend(Json& json, const BlendState& blend) {
    json.key("blend").raw("{").key("edges").raw("[");
    for (int edge = 0; edge < BlendState::kEdges; ++edge) {
        json.raw(edge == 0 ? "{" : ",{").key("edge").text(kEdgeNames[edge]).raw(",");
        json.key("width").value(blend.edgeWidth[static_cast<std::size_t>(edge)]).raw("}");
    }
    json.raw("],").key("windows").raw("{").key("transition");
    Window(json, blend.transitionWindow);
    json.raw(",").key("nonTransition");
    Window(json, blend.nonTransitionWindow);
    json.raw("},").key("marker").value(blend.marker).raw(",");
    json.key("transitionOffset").value(blend.transitionOffset).raw(",");
    json.key("nonTransitionOffset").value(blend.nonTransitionOffset).raw(",");
    json.key("gamma").value(blend.gamma).raw("}");
}

void Pattern(Json& json, const PatternState& pattern) {
    json.key("pattern").raw("{").key("on").flag(pattern.on).raw(",");
    json.key("colour").value(pattern.colour).raw(",");
    json.key("horizontal").value(pattern.horizontal).raw(",");
    json.key("vertical").value(pattern.vertical).raw("}");
}

void Uniformity(Json& json, const UniformityState& uniformity) {
    json.key("uniformity").raw("{").key("mode").value(uniformity.mode).raw(",");
    json.key("enabled").flag(uniformity.enabled).raw(",").key("points").raw("[");
    bool first = true;
    for (int y = 0; y < UniformityState::kRows; ++y) {
        for (int x = 0; x < UniformityState::kColumns; ++x) {
            const UniformityPoint& point = uniformity.at(x, y);
            if (point == UniformityPoint{}) {
                continue;
            }
            json.raw(first ? "{" : ",{").key("x").value(x).raw(",").key("y").value(y).raw(",");
            json.key("gain").value(point.gain).raw(",").key("offset").value(point.offset);
            json.raw("}");
            first = false;
        }
    }
    json.raw("]}");
}

void Colour(Json& json, const ColourState& colour) {
    json.key("colour").raw("{").key("gainEnabled").flag(colour.gainEnabled).raw(",");
    json.key("gains").raw("[");
    for (std::size_t i = 0; i < colour.gains.size(); ++i) {
        json.raw(i == 0 ? "" : ",").value(colour.gains[i]);
    }
    json.raw("],").key("offsets").raw("[");
    for (std::size_t i = 0; i < colour.offsets.size(); ++i) {
        json.raw(i == 0 ? "" : ",").value(colour.offsets[i]);
    }
    json.raw("]}");
}

}  // namespace

BoxState CaptureState(const BoxModel& model) {
    BoxState state;
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        state.picture[c] = model.picture(channel);
        state.colour[c] = model.colour(channel);
        state.liveCommits[c] = model.liveCommits(channel);
    }
    for (int slot = 0; slot < BoxModel::kSlots; ++slot) {
        for (int pass = 0; pass < BoxModel::kPasses; ++pass) {
            state.slotCommits[static_cast<std::size_t>(slot * BoxModel::kPasses + pass)] =
                model.slotCommits(slot, pass);
        }
    }
    return state;
}

// One line per section, so that `cat` and `diff` are of use as well as a
// JSON reader.
std::string StateJson(const BoxState& state) {
    Json json;
    json.raw("{").key("channels").raw("[\n");
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        json.raw(channel == 0 ? " {" : ",\n {").key("channel").text(kChannelNames[c]).raw(",\n  ");
        Blend(json, state.picture[c].blend);
        json.raw(",\n  ");
        Pattern(json, state.picture[c].pattern);
        json.raw(",\n  ");
        Uniformity(json, state.picture[c].uniformity);
        json.raw(",\n  ");
        Colour(json, state.colour[c]);
        json.raw(",\n  ").key("liveMap").raw("{").key("commits");
        json.value(static_cast<long long>(state.liveCommits[c])).raw("}}");
    }
    json.raw("],\n ").key("slots").raw("[");
    for (int slot = 0; slot < BoxModel::kSlots; ++slot) {
        json.raw(slot == 0 ? "\n  {" : ",\n  {").key("slot").value(slot + 1).raw(",");
        json.key("commits").raw("{");
        for (int pass = 0; pass < BoxModel::kPasses; ++pass) {
            const std::uint64_t commits =
                state.slotCommits[static_cast<std::size_t>(slot * BoxModel::kPasses + pass)];
            json.raw(pass == 0 ? "" : ",").key(kChannelNames[pass]);
            json.value(static_cast<long long>(commits));
        }
        json.raw("}}");
    }
    json.raw("]}\n");
    return json.take();
}

void StateJsonWriter::submit(BoxState state) {
    // The text is made on the writer's thread too.
    writer_.submit(0, [path = path_, state = std::move(state)] {
        return base::WriteWholeFile(path, StateJson(state), kBoxFiles);
    });
}

}  // namespace lumora::sim
