#!/usr/bin/python3
"""Writes the small ONNX models that TOLVEN_Inference's tests and benchmark run.

usage: make_models.py FOLDER

Every model takes a float tensor [rows, 96] and gives [rows, 3] unless its name says otherwise:
  passthrough.onnx   standardised features 0, 3 and 95 as they come in
  wrong_input.onnx   the same with its input named "features"
  wrong_output.onnx  the same with its output named "output"
  wrong_shape.onnx   takes [rows, 95]
  int_output.onnx    gives its outputs as 64-bit integers
  short_output.onnx  gives one value a row
  mlp.onnx           a small dense network (96-64-32-3) with fixed pseudo-random weights
"""
import os
import sys

import numpy as np
import onnx
from onnx import TensorProto, helper, numpy_helper

OPSET = 13
PASSED_COLUMNS = [0, 3, 95]


def save(folder, name, nodes, inputs, outputs, initializers=()):
    graph = helper.make_graph(nodes, name, inputs, outputs, list(initializers))
    model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", OPSET)])
    model.ir_version = 7
    onnx.checker.check_model(model)
    onnx.save(model, os.path.join(folder, name + ".onnx"))


def features(name="input", width=96):
    return helper.make_tensor_value_info(name, TensorProto.FLOAT, ["rows", width])


def result(name="Identity:0", width=3, kind=TensorProto.FLOAT):
    return helper.make_tensor_value_info(name, kind, ["rows", width])


def gather(folder, model, columns, input_name="input", output_name="Identity:0", width=96):
    index = numpy_helper.from_array(np.array(columns, dtype=np.int64), "columns")
    node = helper.make_node("Gather", [input_name, "columns"], [output_name], axis=1)
    save(folder, model, [node], [features(input_name, width)],
         [result(output_name, len(columns))], [index])


def int_output(folder):
    index = numpy_helper.from_array(np.array(PASSED_COLUMNS, dtype=np.int64), "columns")
    nodes = [helper.make_node("Gather", ["input", "columns"], ["picked"], axis=1),
             helper.make_node("Cast", ["picked"], ["Identity:0"], to=TensorProto.INT64)]
    save(folder, "int_output", nodes, [features()],
         [result(kind=TensorProto.INT64)], [index])


def mlp(folder):
    random = np.random.default_rng(20240607)
    widths = [96, 64, 32, 3]
    nodes, weights = [], []
    current = "input"
    for layer, (inner, outer) in enumerate(zip(widths, widths[1:])):
        w = (random.standard_normal((inner, outer)) / np.sqrt(inner)).astype(np.float32)
        b = (random.standard_normal(outer) * 0.1).astype(np.float32)
        weights += [numpy_helper.from_array(w, f"w{layer}"), numpy_helper.from_array(b, f"b{layer}")]
        last = layer == len(widths) - 2
        product, total = f"product{layer}", "Identity:0" if last else f"total{layer}"
        nodes.append(helper.make_node("MatMul", [current, f"w{layer}"], [product]))
        nodes.append(helper.make_node("Add", [product, f"b{layer}"], [total]))
        if not last:
            current = f"hidden{layer}"
            nodes.append(helper.make_node("Relu", [total], [current]))
    save(folder, "mlp", nodes, [features()], [result()], weights)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_models.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    gather(folder, "passthrough", PASSED_COLUMNS)
    gather(folder, "wrong_input", PASSED_COLUMNS, input_name="features")
    gather(folder, "wrong_output", PASSED_COLUMNS, output_name="output")
    gather(folder, "wrong_shape", [0, 1, 2], width=95)
    gather(folder, "short_output", [0])
    int_output(folder)
    mlp(folder)


if __name__ == "__main__":
    main()
