# Tests of src/editor
