// The module kvr._kvr: the library's calls for Python. The GIL is released while a run works;
// its progress callback takes the GIL back now and then to let Python see a signal (Ctrl-C) and
// to call the caller's own progress function, either of which cancels the run. A failed call
// raises: ValueError for refused input or options, OSError for files, RuntimeError otherwise.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>

#include "kvr/kvr.h"

namespace py = pybind11;
namespace api = kvr::api;

namespace {

// How often a run lets Python look at its signals and the caller's progress function.
constexpr auto kPythonInterval = std::chrono::milliseconds(100);

// A result that is not Ok as the Python exception of its kind.
void RaiseFor(const api::Result& result) {
    switch (result.status) {
        case api::Status::Ok:
            return;
        case api::Status::InvalidArgument:
        case api::Status::InvalidInput:
            throw py::value_error(result.message);
        case api::Status::FileError:
            PyErr_SetString(PyExc_OSError, result.message.c_str());
            throw py::error_already_set();
        default:
            throw std::runtime_error(result.message);
    }
}

py::str Text(std::string_view text) {
    // Names and paths are bytes; a byte that is not UTF-8 is shown as U+FFFD.
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

// The progress callback of a run from Python: called without the GIL, on the calling thread.
class PythonProgress {
  public:
    explicit PythonProgress(py::object progress) : progress_(std::move(progress)) {}

    bool operator()(std::string_view step, double fraction) {
        if (error_ || cancelled_) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < kPythonInterval) return true;
        last_ = now;
        py::gil_scoped_acquire gil;
        if (PyErr_CheckSignals() != 0) {
            error_.emplace();  // KeyboardInterrupt, or what the signal's handler raised
            return false;
        }
        if (progress_.is_none()) return true;
        try {
            const py::object answer = progress_(Text(step), fraction);
            if (answer.is_none() || answer.cast<bool>()) return true;
            cancelled_ = true;
            return false;
        } catch (py::error_already_set& error) {
            error_.emplace(std::move(error));
            return false;
        }
    }

    // After the run, with the GIL: what stopped it, raised.
    void RaiseIfStopped(const api::Result& result) {
        if (error_) throw *error_;
        if (cancelled_ && result.status == api::Status::Cancelled)
            throw std::runtime_error("the run was cancelled by its progress function");
    }

  private:
    py::object progress_;
    std::chrono::steady_clock::time_point last_{};
    std::optional<py::error_already_set> error_;
    bool cancelled_ = false;
};

template <typename Call>
api::Analysis Run(const Call& call, const std::string& aligner, int threads, bool tree,
                  double pairTimeout, py::object progress) {
    PythonProgress watch(std::move(progress));
    api::RunOptions options;
    options.aligner = aligner;
    options.threads = threads;
    options.tree = tree;
    options.pairTimeoutSeconds = pairTimeout;
    options.progress = [&watch](std::string_view step, double fraction) {
        return watch(step, fraction);
    };
    api::Analysis analysis;
    api::Result result;
    {
        py::gil_scoped_release release;
        result = call(options, analysis);
    }
    watch.RaiseIfStopped(result);
    RaiseFor(result);
    return analysis;
}

std::vector<api::Sequence> Records(const py::iterable& records) {
    std::vector<api::Sequence> out;
    for (const py::handle item : records) {
        const auto pair = item.cast<py::sequence>();
        if (py::isinstance<py::str>(item) || pair.size() != 2)
            throw py::value_error("each record is a (name, sequence) pair");
        out.push_back({pair[0].cast<std::string>(), pair[1].cast<std::string>()});
    }
    return out;
}

py::list Texts(const std::vector<std::string>& texts) {
    py::list list;
    for (const std::string& text : texts) list.append(Text(text));
    return list;
}

}  // namespace

PYBIND11_MODULE(_kvr, m) {
    m.doc() = "KVR's library: pairwise identity of nucleotide sequences (use the package kvr)";

    m.def(
        "align",
        [](const std::string& a, const std::string& b, const std::string& aligner) {
            api::PairOptions options;
            options.aligner = aligner;
            api::AlignedPair pair;
            api::Result result;
            {
                py::gil_scoped_release release;
                result = api::AlignPair(a, b, options, pair);
            }
            RaiseFor(result);
            py::dict out;
            out["identity"] = pair.identity;
            out["columns"] = pair.counts.columns;
            out["gap_free"] = pair.counts.gapFree;
            out["matches"] = pair.counts.matches;
            out["exact"] = pair.counts.exact;
            out["first"] = pair.first;
            out["second"] = pair.second;
            return out;
        },
        py::arg("a"), py::arg("b"), py::arg("aligner") = "builtin");

    py::class_<api::Analysis>(m, "Analysis")
        .def("__len__", &api::Analysis::Size)
        .def_property_readonly("names", [](const api::Analysis& a) { return Texts(a.names); })
        .def_property_readonly("clean_names",
                               [](const api::Analysis& a) { return Texts(a.cleanNames); })
        .def_property_readonly("residues", [](const api::Analysis& a) { return Texts(a.residues); })
        .def_property_readonly("order", [](const api::Analysis& a) { return a.order; })
        .def_property_readonly("warnings", [](const api::Analysis& a) { return Texts(a.warnings); })
        .def_property_readonly("provenance",
                               [](const api::Analysis& a) {
                                   // In the record's order, which a dict keeps.
                                   py::dict record;
                                   for (const auto& [key, value] : a.provenance.entries)
                                       record[Text(key)] = Text(value);
                                   return record;
                               })
        .def_property_readonly("provenance_tree",
                               [](const api::Analysis& a) { return Text(a.provenance.tree); })
        .def_property_readonly("identity",
                               [](py::object self) {
                                   // A read-only view of the analysis's own matrix.
                                   const auto& a = self.cast<const api::Analysis&>();
                                   const auto n = static_cast<py::ssize_t>(a.Size());
                                   py::array_t<float> view(
                                       {n, n},
                                       {n * static_cast<py::ssize_t>(sizeof(float)),
                                        static_cast<py::ssize_t>(sizeof(float))},
                                       a.identity.data(), self);
                                   py::detail::array_proxy(view.ptr())->flags &=
                                       ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
                                   return view;
                               })
        .def(
            "pair_counts",
            [](const api::Analysis& a, std::size_t i, std::size_t j) -> py::object {
                if (i >= a.Size() || j >= a.Size() || i == j)
                    throw py::index_error("two different sequences are needed");
                if (a.counts.empty()) return py::none();
                const api::Counts counts = a.PairCounts(i, j);
                return py::make_tuple(counts.gapFree, counts.matches);
            },
            py::arg("i"), py::arg("j"))
        .def("table_text",
             [](const api::Analysis& a) {
                 std::ostringstream out;
                 RaiseFor(api::WriteTable(out, a));
                 return Text(out.str());
             })
        .def(
            "save_session",
            [](const api::Analysis& a, const std::string& path) {
                RaiseFor(api::WriteSession(path, a));
            },
            py::arg("path"));

    m.def(
        "run_file",
        [](const std::string& path, const std::string& aligner, int threads, bool tree,
           double pairTimeout, py::object progress) {
            return Run([&](const api::RunOptions& options,
                           api::Analysis& out) { return api::RunFile(path, options, out); },
                       aligner, threads, tree, pairTimeout, std::move(progress));
        },
        py::arg("path"), py::arg("aligner"), py::arg("threads"), py::arg("tree"),
        py::arg("pair_timeout"), py::arg("progress"));
    m.def(
        "run_records",
        [](const py::iterable& records, const std::string& aligner, int threads, bool tree,
           double pairTimeout, py::object progress) {
            const std::vector<api::Sequence> sequences = Records(records);
            return Run([&](const api::RunOptions& options,
                           api::Analysis& out) { return api::RunRecords(sequences, options, out); },
                       aligner, threads, tree, pairTimeout, std::move(progress));
        },
        py::arg("records"), py::arg("aligner"), py::arg("threads"), py::arg("tree"),
        py::arg("pair_timeout"), py::arg("progress"));
    m.def(
        "read_session",
        [](const std::string& path) {
            api::Analysis analysis;
            api::Result result;
            {
                py::gil_scoped_release release;
                result = api::ReadSession(path, analysis);
            }
            RaiseFor(result);
            return analysis;
        },
        py::arg("path"));
}
