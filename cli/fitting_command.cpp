// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli fitting: the library of duct fittings (局部阻力). `fitting
// list` names every fitting with its parameters, reference velocity and
// source; `fitting ID --angle … ` gives one fitting's ζ, the velocity it
// refers to, its source and whether the arguments lie where the formula
// holds. Each fitting takes only its own options.

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "system/fittings.h"

namespace cli {

namespace {

namespace fit = ductsys::fittings;

struct FittingOptions {
    std::string id;
    Format format = Format::text;
    std::string method;
    std::string reference;
    std::array<std::optional<double>, fit::kParamCount> values{};
};

// The option of each parameter: the same names as a term's, for the shell.
struct OptionOf {
    fit::Param param;
    const char* flag;
    const char* help;
};
constexpr OptionOf kOptions[] = {
    {fit::Param::angle, "--angle", "angle, °: a bend's turn, a cone's total angle, a tee's branch"},
    {fit::Param::rD, "--r-d", "r/D of a bend (r/b for a rectangular one)"},
    {fit::Param::aspect, "--aspect", "a0/b0 of a rectangular bend"},
    {fit::Param::areaRatio, "--area-ratio", "A1/A2, small to large"},
    {fit::Param::beta, "--beta", "d2/d1, small to large"},
    {fit::Param::fsFc, "--fs-fc", "F_s/F_c of a tee"},
    {fit::Param::fstFc, "--fst-fc", "F_st/F_c of a tee"},
    {fit::Param::qsQc, "--qs-qc", "Q_s/Q_c of a tee"},
    {fit::Param::open, "--open", "open area fraction of a grille"},
    {fit::Param::zeta, "--zeta", "the ζ of a value (or of a diverging tee's straight passage)"},
};

std::string parameterText(const fit::ParamRule& p) {
    std::string t(p.name);
    std::vector<std::string> parts;
    if (!p.unit.empty()) parts.emplace_back(p.unit);
    if (p.byDefault) parts.push_back("default " + fit::numberText(*p.byDefault));
    if (p.validLow > -1e29 && p.validHigh < 1e29)
        parts.push_back("valid " + fit::numberText(p.validLow) + "–" +
                        fit::numberText(p.validHigh));
    if (p.fromSystem != fit::FromSystem::no) parts.emplace_back("from the system");
    if (!parts.empty()) {
        t += " (";
        for (std::size_t i = 0; i < parts.size(); ++i) t += (i ? ", " : "") + parts[i];
        t += ')';
    }
    return t;
}

nlohmann::json fittingJson(const fit::Fitting& f) {
    nlohmann::json params = nlohmann::json::array();
    for (const fit::ParamRule& p : f.params) {
        nlohmann::json j{{"name", p.name},
                         {"option", "--" + std::string(p.option)},
                         {"caption", p.caption},
                         {"unit", p.unit}};
        j["default"] = p.byDefault ? nlohmann::json(*p.byDefault) : nlohmann::json(nullptr);
        j["valid_from"] = p.validLow > -1e29 ? nlohmann::json(p.validLow) : nlohmann::json(nullptr);
        j["valid_to"] = p.validHigh < 1e29 ? nlohmann::json(p.validHigh) : nlohmann::json(nullptr);
        j["from_system"] = p.fromSystem != fit::FromSystem::no;
        params.push_back(j);
    }
    nlohmann::json methods = nlohmann::json::array();
    for (const fit::Method& m : f.methods)
        methods.push_back({{"name", m.name}, {"source", m.source}});
    return {{"id", f.id},
            {"name", f.chinese},
            {"parameters", params},
            {"refers_to", fit::refersToName(f.refersTo)},
            {"methods", methods},
            {"source", fit::sourceOf(f, "")},
            {"validity", f.validity}};
}

int listFittings(Format format, std::ostream& out) {
    if (format == Format::json) {
        nlohmann::json all = nlohmann::json::array();
        for (const fit::Fitting& f : fit::all()) all.push_back(fittingJson(f));
        out << all.dump(2) << '\n';
        return kSuccess;
    }
    for (const fit::Fitting& f : fit::all()) {
        out << f.id << "  " << f.chinese << '\n';
        std::string params;
        for (const fit::ParamRule& p : f.params)
            params += (params.empty() ? "" : "; ") + parameterText(p);
        out << "  parameters: " << (params.empty() ? "none" : params) << '\n';
        out << "  refers to: " << fit::refersToName(f.refersTo) << '\n';
        for (const fit::Method& m : f.methods)
            out << "  "
                << (f.methods.size() > 1 ? "method " + std::string(m.name) + ": " : "source: ")
                << m.source << '\n';
        out << "  valid: " << f.validity << '\n';
    }
    return kSuccess;
}

int runFitting(const FittingOptions& o, const std::vector<std::string>& given, std::ostream& out,
               std::ostream& err) {
    if (o.id == "list") {
        if (!given.empty()) {
            err << kProgram << ": " << said({msg::Code::cliFittingListTakesNo, {given.front()}})
                << '\n';
            return kUsage;
        }
        return listFittings(o.format, out);
    }
    const fit::Fitting* f = fit::find(o.id);
    if (!f) {
        err << kProgram << ": "
            << said({msg::Code::cliFittingUnknown, {o.id, fit::nearestName(o.id)}}) << '\n';
        return kUsage;
    }
    fit::Args args;
    args.values = o.values;
    args.method = o.method;
    args.reference = o.reference;
    std::string own;
    for (const OptionOf& option : kOptions)
        if (fit::paramRule(*f, option.param))
            own += (own.empty() ? "" : ", ") + std::string(option.flag);
    if (f->methods.size() > 1) own += (own.empty() ? "" : ", ") + std::string("--method");
    if (f->needsReference) own += (own.empty() ? "" : ", ") + std::string("--ref");
    for (const std::string& flag : given) {
        bool takes = false;
        for (const OptionOf& option : kOptions)
            if (flag == option.flag) takes = fit::paramRule(*f, option.param) != nullptr;
        if (flag == "--method") takes = f->methods.size() > 1;
        if (flag == "--ref") takes = f->needsReference;
        if (!takes) {
            err << kProgram << ": "
                << said({msg::Code::cliFittingTakesNo,
                         {f->id, flag, own.empty() ? msg::Arg(msg::Code::wordNone) : own}})
                << '\n';
            return kUsage;
        }
    }
    if (const std::optional<msg::Message> problem = fit::checkArgs(*f, args)) {
        err << kProgram << ": " << said(*problem) << '\n';
        return kUsage;
    }
    const fit::Result r = fit::evaluate(*f, args);
    nlohmann::json arguments = nlohmann::json::object();
    std::string argumentText;
    for (const fit::ParamRule& p : f->params) {
        const std::optional<double> v = args[p.param] ? args[p.param] : p.byDefault;
        if (!v) continue;
        arguments[std::string(p.name)] = *v;
        argumentText +=
            (argumentText.empty() ? "" : ", ") + std::string(p.name) + "=" + fit::numberText(*v);
    }
    const std::string_view source = fit::sourceOf(*f, args.method);
    if (o.format == Format::json) {
        nlohmann::json j{{"id", f->id},
                         {"name", f->chinese},
                         {"arguments", arguments},
                         {"zeta", r.zeta},
                         {"refers_to", fit::refersToName(f->refersTo)},
                         {"source", source},
                         {"valid", r.valid}};
        const fit::Method* m = fit::findMethod(*f, args.method);
        j["method"] = m ? m->name : std::string_view{};
        // For scripts: the same words in every locale.
        j["note"] = msg::renderList(r.note, msg::Language::english);
        if (f->needsReference) j["reference"] = args.reference;
        out << j.dump() << '\n';
    } else if (o.format == Format::csv) {
        out << "id,zeta,refers_to,source,valid\n"
            << f->id << ',' << fit::numberText(r.zeta) << ',' << fit::refersToName(f->refersTo)
            << ",\"" << source << "\"," << (r.valid ? "yes" : "no") << '\n';
    } else {
        out << f->id << ' ' << f->chinese << (argumentText.empty() ? "" : " (" + argumentText + ")")
            << '\n'
            << "zeta: " << fit::numberText(r.zeta) << '\n'
            << "refers to: " << fit::refersToName(f->refersTo) << " velocity\n"
            << "source: " << source << '\n'
            << "valid: " << (r.valid ? "yes" : "no, " + saidList(r.note)) << '\n';
        if (f->needsReference && !args.reference.empty())
            out << "reference: " << args.reference << '\n';
    }
    // Computed, but outside where its formula holds: said on the error
    // stream as well, for scripts that read only the number.
    if (!r.valid) err << kProgram << ": warning: " << f->id << ": " << saidList(r.note) << '\n';
    return kSuccess;
}

}  // namespace

void addFittingCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<FittingOptions>();
    CLI::App* command = app.add_subcommand(
        "fitting",
        "Loss coefficients ζ of duct fittings (局部阻力): 'fitting list' names every fitting "
        "with its parameters, reference velocity and source; 'fitting ID --angle …' gives "
        "one fitting's ζ, the velocity it refers to, its source and whether it is valid.");
    command->add_option("ID", options->id, "list, or a fitting's id or Chinese name")->required();
    for (const OptionOf& option : kOptions) {
        const std::size_t i = static_cast<std::size_t>(option.param);
        command->add_option_function<double>(
            option.flag, [options, i](double v) { options->values[i] = v; }, option.help);
    }
    command->add_option("--method", options->method, "the method where the sources differ");
    command->add_option("--ref", options->reference, "the reference of a value (catalogue, page)");
    addFormatOption(*command, options->format);
    command->callback([options, command, &out, &err, &status] {
        std::vector<std::string> given;
        for (const CLI::Option* o : command->get_options()) {
            if (o->count() == 0 || o->get_lnames().empty()) continue;
            const std::string name = "--" + o->get_lnames().front();
            if (name != "--format" && name != "--help") given.push_back(name);
        }
        status = runFitting(*options, given, out, err);
    });
}

}  // namespace cli
