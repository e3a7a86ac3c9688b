# Tests of src/project
