# Files of src/project
