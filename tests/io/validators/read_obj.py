"""Reads OBJ files with tinyobjloader and checks them.

For each file: no warning and no error from the reader, as many texture
coordinates and normals as positions, every usemtl defined in the MTL file and
every map_Kd file present. Prints one line per file:
  FILE: vertices=V texcoords=T normals=N triangles=F materials=M
and exits 1 on any failure, 2 when the reader is not installed.
"""
import os
import sys

try:
    import tinyobjloader
except ImportError as error:
    print("READER MISSING: %s (install python3-tinyobjloader)" % error)
    sys.exit(2)


def check(path):
    reader = tinyobjloader.ObjReader()
    config = tinyobjloader.ObjReaderConfig()
    config.triangulate = False
    if not reader.ParseFromFile(path, config):
        return ["error: " + reader.Error()]
    problems = []
    if reader.Warning():
        problems.append("warning: " + reader.Warning().strip())
    if reader.Error():
        problems.append("error: " + reader.Error().strip())
    attrib = reader.GetAttrib()
    vertices = len(attrib.vertices) // 3
    texcoords = len(attrib.texcoords) // 2
    normals = len(attrib.normals) // 3
    if texcoords != vertices or normals != vertices:
        problems.append("counts differ: v=%d vt=%d vn=%d" % (vertices, texcoords, normals))
    materials = reader.GetMaterials()
    folder = os.path.dirname(path)
    for material in materials:
        if material.diffuse_texname and not os.path.isfile(os.path.join(folder, material.diffuse_texname)):
            problems.append("map_Kd file missing: " + material.diffuse_texname)
    triangles = 0
    for shape in reader.GetShapes():
        for count in shape.mesh.num_face_vertices:
            if count != 3:
                problems.append("face with %d corners" % count)
        triangles += len(shape.mesh.num_face_vertices)
        for material_id in shape.mesh.material_ids:
            if material_id < 0 or material_id >= len(materials):
                problems.append("usemtl of an undefined material")
                break
    print("%s: vertices=%d texcoords=%d normals=%d triangles=%d materials=%d"
          % (path, vertices, texcoords, normals, triangles, len(materials)))
    return problems


def main():
    failed = False
    for path in sys.argv[1:]:
        for problem in check(path):
            print("  " + problem)
            failed = True
    sys.exit(1 if failed else 0)


main()
